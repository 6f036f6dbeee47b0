#include "desktop/shell/x11_window_state.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace kivo::desktop {
namespace {

xcb_connection_t* Connection() {
  auto* x11 =
      qGuiApp != nullptr
          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
          : nullptr;
  return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(
      connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(connection, cookie, nullptr);
  const xcb_atom_t atom =
      reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

bool IsMapped(xcb_connection_t* connection, xcb_window_t window) {
  xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, window), nullptr);
  const bool mapped =
      reply != nullptr && reply->map_state != XCB_MAP_STATE_UNMAPPED;
  std::free(reply);
  return mapped;
}

xcb_window_t RootOf(xcb_connection_t* connection, xcb_window_t window) {
  xcb_query_tree_reply_t* reply = xcb_query_tree_reply(
      connection, xcb_query_tree(connection, window), nullptr);
  const xcb_window_t root =
      reply != nullptr ? reply->root : xcb_window_t{XCB_WINDOW_NONE};
  std::free(reply);
  return root;
}

std::vector<xcb_atom_t> StateAtoms(xcb_connection_t* connection,
                                   xcb_window_t window, xcb_atom_t state) {
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection,
      xcb_get_property(connection, 0, window, state, XCB_ATOM_ATOM, 0, 1024),
      nullptr);
  std::vector<xcb_atom_t> atoms;
  if (reply != nullptr && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
    const auto* values =
        static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    atoms.assign(values, values + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  return atoms;
}

void SetOnProperty(xcb_connection_t* connection, xcb_window_t window,
                   xcb_atom_t state, xcb_atom_t one_state, bool on) {
  std::vector<xcb_atom_t> atoms = StateAtoms(connection, window, state);
  atoms.erase(std::remove(atoms.begin(), atoms.end(), one_state), atoms.end());
  if (on) atoms.push_back(one_state);
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state,
                      XCB_ATOM_ATOM, 32, static_cast<uint32_t>(atoms.size()),
                      atoms.data());
}

void AskWindowManager(xcb_connection_t* connection, xcb_window_t window,
                      xcb_atom_t state, xcb_atom_t one_state, bool on) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = state;
  message.data.data32[0] = on ? 1 : 0;  // _NET_WM_STATE_ADD / _REMOVE
  message.data.data32[1] = one_state;
  message.data.data32[3] = 1;  // from a normal application
  xcb_send_event(
      connection, 0, RootOf(connection, window),
      XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
      reinterpret_cast<const char*>(&message));
}

}  // namespace

bool SetNetWmState(QWidget* window, const char* state_name, bool on) {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr || window == nullptr) return false;
  window->winId();  // makes sure the window exists
  const QWindow* handle = window->windowHandle();
  if (handle == nullptr) return false;
  const auto id = static_cast<xcb_window_t>(handle->winId());
  const xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
  const xcb_atom_t one_state = Atom(connection, state_name);
  if (state == XCB_ATOM_NONE || one_state == XCB_ATOM_NONE) return false;
  if (IsMapped(connection, id)) {
    AskWindowManager(connection, id, state, one_state, on);
  } else {
    SetOnProperty(connection, id, state, one_state, on);
  }
  xcb_flush(connection);
  return true;
}

}  // namespace kivo::desktop
