#include "desktop/integrations/curl_http_client.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/loopback_http_server.h"

namespace kivo::desktop {
namespace {

using loopback::HttpReply;
using loopback::LoopbackHttpServer;

constexpr const char* kIndyAgent = "Mozilla/3.0 (compatible; Indy Library)";

TEST(CurlHttpClientTest, GetSendsExactRequestLineAndFixedHeaders) {
  LoopbackHttpServer server(1);
  server.QueueReply(HttpReply("200 OK", "OK\nabc\n"));
  CurlHttpClient client;
  const HttpResponse response =
      client.Get(server.BaseUrl() + "/?hs=true&p=1.2&u=a%20b", std::nullopt);

  EXPECT_TRUE(response.ok) << response.error;
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.body, "OK\nabc\n");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].request_line, "GET /?hs=true&p=1.2&u=a%20b HTTP/1.1");
  EXPECT_EQ(requests[0].Header("Accept"), "text/html, */*");
  EXPECT_EQ(requests[0].Header("User-Agent"), kIndyAgent);
  EXPECT_EQ(requests[0].Header("Host"),
            "127.0.0.1:" + std::to_string(server.port()));
  EXPECT_FALSE(requests[0].HasHeader("Cookie"));
  EXPECT_FALSE(requests[0].HasHeader("Proxy-Authorization"));
  EXPECT_TRUE(requests[0].body.empty());
}

TEST(CurlHttpClientTest, PostFormSendsBodyBytesAsForm) {
  LoopbackHttpServer server(2);
  CurlHttpClient client;
  const std::string body = "s=0123&a=AC+DC&t=%c3%a9&n=&m=";
  // Large enough that curl would ask for "100 Continue" unless told not to.
  const std::string large_body = "s=" + std::string(1500000, 'x');

  EXPECT_TRUE(client.PostForm(server.BaseUrl() + "/np", body, {}).ok);
  EXPECT_TRUE(client.PostForm(server.BaseUrl() + "/sub", large_body, {}).ok);

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].request_line, "POST /np HTTP/1.1");
  EXPECT_EQ(requests[0].Header("Content-Type"),
            "application/x-www-form-urlencoded");
  EXPECT_EQ(requests[0].Header("Content-Length"), std::to_string(body.size()));
  EXPECT_EQ(requests[0].Header("Accept"), "text/html, */*");
  EXPECT_EQ(requests[0].Header("User-Agent"), kIndyAgent);
  EXPECT_EQ(requests[0].body, body);
  EXPECT_FALSE(requests[1].HasHeader("Expect"));
  EXPECT_EQ(requests[1].body, large_body);
}

TEST(CurlHttpClientTest, AnyStatusIsAReplyAndRedirectsAreNotFollowed) {
  LoopbackHttpServer server(3);
  server.QueueReply(HttpReply("404 Not Found", "BADAUTH"));
  server.QueueReply(HttpReply(
      "302 Found", "", "Location: " + server.BaseUrl() + "/elsewhere\r\n"));
  CurlHttpClient client;

  const HttpResponse missing = client.Get(server.BaseUrl() + "/a", {});
  EXPECT_TRUE(missing.ok);
  EXPECT_EQ(missing.status, 404);
  EXPECT_EQ(missing.body, "BADAUTH");

  const HttpResponse moved =
      client.PostForm(server.BaseUrl() + "/b", "x=1", {});
  EXPECT_TRUE(moved.ok);
  EXPECT_EQ(moved.status, 302);
  EXPECT_EQ(server.Requests().size(), 2u);
}

TEST(CurlHttpClientTest, CookiesOfAReplyAreSentBackOnLaterRequests) {
  LoopbackHttpServer server(3);
  server.QueueReply(
      HttpReply("200 OK", "OK", "Set-Cookie: sid=abc123; Path=/\r\n"));
  CurlHttpClient client;
  ASSERT_TRUE(client.Get(server.BaseUrl() + "/login", {}).ok);
  // The next request runs on another thread, with a handle of its own.
  std::thread worker([&] {
    EXPECT_TRUE(client.PostForm(server.BaseUrl() + "/np", "a=1", {}).ok);
  });
  worker.join();
  CurlHttpClient other_client;
  ASSERT_TRUE(other_client.Get(server.BaseUrl() + "/other", {}).ok);

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_FALSE(requests[0].HasHeader("Cookie"));
  EXPECT_EQ(requests[1].Header("Cookie"), "sid=abc123");
  EXPECT_FALSE(requests[2].HasHeader("Cookie"))
      << "cookies belong to one client";
}

TEST(CurlHttpClientTest, FailuresEndTheRequestWithoutAReply) {
  LoopbackHttpServer silent(1);
  silent.SetBehaviour(LoopbackHttpServer::Behaviour::kSilent);
  CurlHttpClient impatient(HttpTimeouts{.connect_ms = 2000, .total_ms = 300});
  const HttpResponse timed_out = impatient.Get(silent.BaseUrl() + "/", {});
  EXPECT_FALSE(timed_out.ok);
  EXPECT_FALSE(timed_out.error.empty());
  EXPECT_EQ(silent.Requests().size(), 1u);

  LoopbackHttpServer closing(1);
  closing.SetBehaviour(LoopbackHttpServer::Behaviour::kClose);
  CurlHttpClient client;
  const HttpResponse closed =
      client.PostForm(closing.BaseUrl() + "/", "s=1", {});
  EXPECT_FALSE(closed.ok);
  EXPECT_FALSE(closed.error.empty());

  const HttpResponse local_file = client.Get("file:///etc/hostname", {});
  EXPECT_FALSE(local_file.ok) << "only http and https are fetched";
  EXPECT_TRUE(local_file.body.empty());
}

TEST(CurlHttpClientTest, ProxyGetsAbsoluteUriWithCredentialsUpFront) {
  LoopbackHttpServer proxy_server(2);
  CurlHttpClient client;
  // The proxy answers itself; the target address is never contacted.
  const std::string target = "http://127.0.0.1:9/path?hs=true";
  const HttpProxy with_login{"127.0.0.1", proxy_server.port(), "user", "p:ss"};
  const HttpProxy anonymous{"127.0.0.1", proxy_server.port(), "", ""};

  EXPECT_TRUE(client.Get(target, with_login).ok);
  EXPECT_TRUE(client.PostForm(target, "s=1", anonymous).ok);

  const auto requests = proxy_server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].request_line, "GET " + target + " HTTP/1.1");
  // base64 of "user:p:ss"
  EXPECT_EQ(requests[0].Header("Proxy-Authorization"), "Basic dXNlcjpwOnNz");
  EXPECT_EQ(requests[0].Header("User-Agent"), kIndyAgent);
  EXPECT_EQ(requests[1].request_line, "POST " + target + " HTTP/1.1");
  EXPECT_FALSE(requests[1].HasHeader("Proxy-Authorization"));
  EXPECT_EQ(requests[1].body, "s=1");
}

}  // namespace
}  // namespace kivo::desktop
