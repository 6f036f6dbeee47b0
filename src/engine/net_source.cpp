#include "engine/net_source.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "engine/thread_name.h"

namespace kivo::engine {

namespace {

constexpr size_t kBufferBytes = 256 * 1024;
constexpr size_t kMaxIcyHeadBytes = 16 * 1024;
constexpr int kFirstPauseMs = 1000;
constexpr int kMaxPauseMs = 30000;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return static_cast<char>(std::tolower(c));
  });
  return text;
}

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

}  // namespace

bool IsNetworkAddress(const std::string& text) {
  std::string lower = Lower(text.substr(0, 8));
  for (const char* scheme : {"http://", "https://", "ftp://"}) {
    size_t length = std::strlen(scheme);
    if (lower.compare(0, length, scheme) == 0 && text.size() > length) {
      return true;
    }
  }
  return false;
}

NetSource::NetSource(std::string url, NetOptions options, DownloadProc download,
                     MetaProc on_meta)
    : url_(std::move(url)),
      options_(std::move(options)),
      download_(std::move(download)),
      on_meta_(std::move(on_meta)),
      buffer_(kBufferBytes) {}

NetSource::~NetSource() {
  Cancel();
  WaitStopped();
}

void NetSource::WaitStopped() {
  if (thread_.joinable()) thread_.join();
}

bool NetSource::Connect() {
  auto now = std::chrono::steady_clock::now();
  {
    std::lock_guard lock(mutex_);
    open_deadline_ = now + std::chrono::milliseconds(options_.timeout_ms);
    last_data_ = now;
  }
  thread_ = std::thread([this] { Run(); });
  std::unique_lock lock(mutex_);
  data_cv_.wait_until(lock, open_deadline_,
                      [this] { return size_ > 0 || ended_ || cancelled_; });
  return size_ > 0 && !cancelled_;
}

void NetSource::EndOpening() {
  std::lock_guard lock(mutex_);
  opening_ = false;
}

void NetSource::Cancel() {
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
  }
  data_cv_.notify_all();
  space_cv_.notify_all();
}

std::string NetSource::FormatHint() const {
  std::string type;
  {
    std::lock_guard lock(mutex_);
    type = Lower(content_type_.substr(0, content_type_.find(';')));
  }
  type = Trim(type);
  if (type == "audio/mpeg" || type == "audio/mp3") return "mp3";
  if (type == "audio/aac" || type == "audio/aacp") return "aac";
  if (type == "audio/ogg" || type == "application/ogg") return "ogg";
  if (type == "audio/flac") return "flac";
  return {};
}

std::optional<std::string> NetSource::metadata() const {
  std::lock_guard lock(mutex_);
  return metadata_;
}

int NetSource::Read(uint8_t* buffer, int size) {
  std::unique_lock lock(mutex_);
  auto ready = [this] { return size_ > 0 || ended_ || cancelled_; };
  if (opening_) {
    data_cv_.wait_until(lock, open_deadline_, ready);
  } else {
    data_cv_.wait(lock, ready);
  }
  if (cancelled_ || size_ == 0) return 0;
  size_t take = std::min(size_, static_cast<size_t>(size));
  size_t first = std::min(take, buffer_.size() - head_);
  std::memcpy(buffer, buffer_.data() + head_, first);
  std::memcpy(buffer + first, buffer_.data(), take - first);
  head_ = (head_ + take) % buffer_.size();
  size_ -= take;
  lock.unlock();
  space_cv_.notify_one();
  return static_cast<int>(take);
}

void NetSource::Run() {
  NameThisThread("kivo-net");
  Outage outage;
  while (Transfer() && WaitToRetry(&outage)) {
  }
  {
    std::lock_guard lock(mutex_);
    ended_ = true;
  }
  data_cv_.notify_all();
  if (download_) download_(nullptr, 0);
}

bool NetSource::Transfer() {
  CURL* curl = curl_easy_init();
  if (!curl) return false;
  BeginTransfer();
  curl_ = curl;
  std::string proxy_user;
  Configure(curl, &proxy_user);
  // A file that broke off continues where it broke.
  if (total_bytes_ >= 0) resume_at_ = audio_bytes_;
  std::string range = std::to_string(resume_at_) + "-";
  bool ranged = resume_at_ > 0 && !ranges_refused_;
  if (ranged) curl_easy_setopt(curl, CURLOPT_RANGE, range.c_str());
  curl_slist* headers = curl_slist_append(nullptr, "Icy-MetaData: 1");
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  CURLcode result = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  curl_ = nullptr;
  status = std::max(status, status_);
  // A server that cannot resume sends the file again from its start.
  if (ranged && !body_started_ &&
      (result == CURLE_RANGE_ERROR || result == CURLE_FTP_COULDNT_USE_REST ||
       status == 416)) {
    ranges_refused_ = true;
    status = 0;
  }
  return ShouldRetry(result == CURLE_OK, status);
}

void NetSource::BeginTransfer() {
  status_seen_ = false;
  status_ = 0;
  chunked_ = false;
  icy_head_.clear();
  metaint_ = 0;
  content_type_thread_.clear();
  demuxer_.reset();
  body_started_ = false;
  skip_bytes_ = 0;
  transfer_audio_bytes_ = 0;
  std::lock_guard lock(mutex_);
  last_data_ = std::chrono::steady_clock::now();
}

bool NetSource::ShouldRetry(bool transfer_ok, long status) {
  {
    std::lock_guard lock(mutex_);
    // A stream that never opened fails its open, as an address that is none.
    if (cancelled_ || opening_) return false;
  }
  if (status >= 400 && status < 500) return false;  // a definite refusal
  if (total_bytes_ >= 0 && audio_bytes_ >= static_cast<uint64_t>(total_bytes_))
    return false;  // the whole file arrived
  // A chunked body that ended properly was ended on purpose.
  return !(transfer_ok && chunked_);
}

bool NetSource::WaitToRetry(Outage* outage) {
  auto now = std::chrono::steady_clock::now();
  if (!outage->active || transfer_audio_bytes_ > 0) {
    *outage = {true, now, kFirstPauseMs};
  } else {
    outage->pause_ms = std::min(outage->pause_ms * 2, kMaxPauseMs);
  }
  auto retry_at = now + std::chrono::milliseconds(outage->pause_ms);
  if (retry_at - outage->since >
      std::chrono::milliseconds(options_.reconnect_ms)) {
    return false;
  }
  std::unique_lock lock(mutex_);
  return !space_cv_.wait_until(lock, retry_at, [this] { return cancelled_; });
}

void NetSource::Configure(void* handle, std::string* proxy_user) {
  CURL* curl = handle;
  curl_easy_setopt(curl, CURLOPT_URL, url_.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  // SHOUTcast 1 answers "ICY 200 OK", which curl takes for HTTP/0.9; its head
  // then arrives in the body and OnBody reads it there.
  curl_easy_setopt(curl, CURLOPT_HTTP09_ALLOWED, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(options_.timeout_ms));
  if (!options_.agent.empty()) {
    curl_easy_setopt(curl, CURLOPT_USERAGENT, options_.agent.c_str());
  }
  // An empty proxy text also keeps curl from taking one from the environment.
  std::string proxy = options_.proxy;
  size_t at = proxy.rfind('@');
  if (at != std::string::npos) {
    *proxy_user = proxy.substr(0, at);
    proxy = proxy.substr(at + 1);
    curl_easy_setopt(curl, CURLOPT_PROXYUSERPWD, proxy_user->c_str());
  }
  if (!proxy.empty() && proxy.find("://") == std::string::npos) {
    proxy = "http://" + proxy;
  }
  curl_easy_setopt(curl, CURLOPT_PROXY, proxy.c_str());
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "");
  if (!options_.passive_ftp) curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &NetSource::HeaderThunk);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &NetSource::BodyThunk);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &NetSource::ProgressThunk);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
}

void NetSource::OnHeaderLine(const std::string& line) {
  // Each response of a redirect chain starts with its status line.
  if (line.rfind("HTTP/", 0) == 0 || line.rfind("ICY ", 0) == 0) {
    status_seen_ = true;
    size_t code = line.find(' ');
    status_ = std::strtol(line.c_str() + code + 1, nullptr, 10);
    metaint_ = 0;
    chunked_ = false;
    content_type_thread_.clear();
    return;
  }
  size_t colon = line.find(':');
  if (colon == std::string::npos) return;
  std::string name = Lower(Trim(line.substr(0, colon)));
  std::string value = Trim(line.substr(colon + 1));
  if (name == "icy-metaint") metaint_ = ParseIcyMetaint(value);
  if (name == "content-type") content_type_thread_ = value;
  if (name == "transfer-encoding") chunked_ = Lower(value) == "chunked";
}

// Collects an ICY head that came as body; true once the audio begins, with
// `data` and `length` moved past the head.
bool NetSource::TakeIcyHead(const uint8_t** data, size_t* length) {
  icy_head_.append(reinterpret_cast<const char*>(*data), *length);
  // Anything but an ICY head means everything collected is audio.
  if (icy_head_.size() < 4 || icy_head_.compare(0, 4, "ICY ") == 0) {
    size_t end = icy_head_.find("\r\n\r\n");
    if (end == std::string::npos && icy_head_.size() < kMaxIcyHeadBytes) {
      return false;
    }
    if (end == std::string::npos) end = icy_head_.size();
    std::string head = icy_head_.substr(0, end);
    for (size_t at = 0; at < head.size();) {
      size_t next = std::min(head.find("\r\n", at), head.size());
      OnHeaderLine(head.substr(at, next - at));
      at = next + 2;
    }
    icy_head_.erase(0, std::min(icy_head_.size(), end + 4));
  }
  status_seen_ = true;
  *data = reinterpret_cast<const uint8_t*>(icy_head_.data());
  *length = icy_head_.size();
  return true;
}

// The body begins: how long the stream is, and whether a range was honoured.
void NetSource::StartBody() {
  body_started_ = true;
  {
    std::lock_guard lock(mutex_);
    content_type_ = content_type_thread_;
  }
  demuxer_ = std::make_unique<IcyDemuxer>(
      metaint_, [this](const uint8_t* d, size_t n) { OnAudio(d, n); },
      [this](const std::string& text) { OnMeta(text); });
  curl_off_t length = -1;
  curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  const char* scheme = nullptr;
  curl_easy_getinfo(curl_, CURLINFO_SCHEME, &scheme);
  bool http = scheme != nullptr && Lower(scheme).rfind("http", 0) == 0;
  bool ranged = resume_at_ > 0 && !ranges_refused_ && (!http || status_ == 206);
  if (resume_at_ > 0 && !ranged) skip_bytes_ = resume_at_;
  if (metaint_ == 0 && length >= 0) {
    total_bytes_ = (ranged ? static_cast<int64_t>(resume_at_) : 0) + length;
  }
}

size_t NetSource::OnBody(const uint8_t* data, size_t length) {
  const size_t received = length;
  if (!status_seen_ && !TakeIcyHead(&data, &length)) return received;
  if (status_ >= 400) return 0;  // a refusal in an ICY head
  if (!body_started_) StartBody();
  size_t skipped = static_cast<size_t>(std::min<uint64_t>(skip_bytes_, length));
  skip_bytes_ -= skipped;
  demuxer_->Feed(data + skipped, length - skipped);
  icy_head_.clear();
  std::lock_guard lock(mutex_);
  return cancelled_ ? 0 : received;  // 0 makes curl stop the transfer
}

void NetSource::OnAudio(const uint8_t* data, size_t length) {
  audio_bytes_ += length;
  transfer_audio_bytes_ += length;
  if (download_) download_(data, length);
  std::unique_lock lock(mutex_);
  last_data_ = std::chrono::steady_clock::now();
  while (length > 0 && !cancelled_) {
    space_cv_.wait(lock,
                   [this] { return cancelled_ || size_ < buffer_.size(); });
    if (cancelled_) break;
    size_t take = std::min(length, buffer_.size() - size_);
    for (size_t i = 0; i < take; ++i) {
      buffer_[(head_ + size_ + i) % buffer_.size()] = data[i];
    }
    size_ += take;
    data += take;
    length -= take;
    data_cv_.notify_all();
  }
  last_data_ = std::chrono::steady_clock::now();
}

void NetSource::OnMeta(const std::string& text) {
  {
    std::lock_guard lock(mutex_);
    metadata_ = text;
  }
  if (on_meta_) on_meta_();
}

// A dead server (no byte for the whole time-out) ends the connection. Waiting
// for buffer space happens inside the body callback, where curl makes no
// progress calls, and refreshes the clock when it ends.
bool NetSource::ShouldAbort() {
  std::lock_guard lock(mutex_);
  if (cancelled_) return true;
  auto idle = std::chrono::steady_clock::now() - last_data_;
  return idle > std::chrono::milliseconds(options_.timeout_ms);
}

size_t NetSource::HeaderThunk(char* data, size_t size, size_t count,
                              void* self) {
  static_cast<NetSource*>(self)->OnHeaderLine(std::string(data, size * count));
  return size * count;
}

size_t NetSource::BodyThunk(char* data, size_t size, size_t count, void* self) {
  return static_cast<NetSource*>(self)->OnBody(
      reinterpret_cast<const uint8_t*>(data), size * count);
}

int NetSource::ProgressThunk(void* self, int64_t, int64_t, int64_t, int64_t) {
  return static_cast<NetSource*>(self)->ShouldAbort() ? 1 : 0;
}

}  // namespace kivo::engine
