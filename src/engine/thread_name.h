#pragma once

#include <pthread.h>

namespace kivo::engine {

// Names the calling thread as the debugger and top show it (15 characters).
inline void NameThisThread(const char* name) {
  pthread_setname_np(pthread_self(), name);
}

}  // namespace kivo::engine
