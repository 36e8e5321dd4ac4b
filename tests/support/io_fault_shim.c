/* Faults injected into a real program through LD_PRELOAD, for the tests of
   what it does when a card misbehaves. BCT_FAULT names one fault and the
   files it hits, by a part of their path:
     write:PART    write() to such a file fails with EIO
     full:PART     write() to such a file fails with ENOSPC
     read:PART     read() from such a file returns its bytes with one flipped
     slow:PART     every write() to such a file first waits a millisecond
   The file of a descriptor is found through /proc/self/fd. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static int Hits(int fd, const char* kind) {
  const char* fault = getenv("BCT_FAULT");
  size_t length = strlen(kind);
  if (fault == NULL || strncmp(fault, kind, length) != 0 || fault[length] != ':') return 0;
  char link[64], path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t size = readlink(link, path, sizeof path - 1);
  if (size <= 0) return 0;
  path[size] = '\0';
  return strstr(path, fault + length + 1) != NULL;
}

ssize_t write(int fd, const void* data, size_t size) {
  static ssize_t (*real)(int, const void*, size_t);
  if (real == NULL) real = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
  if (Hits(fd, "write") || Hits(fd, "full")) {
    errno = Hits(fd, "full") ? ENOSPC : EIO;
    return -1;
  }
  if (Hits(fd, "slow")) {
    struct timespec pause = {0, 1000000};
    nanosleep(&pause, NULL);
  }
  return real(fd, data, size);
}

ssize_t read(int fd, void* data, size_t size) {
  static ssize_t (*real)(int, void*, size_t);
  if (real == NULL) real = (ssize_t(*)(int, void*, size_t))dlsym(RTLD_NEXT, "read");
  ssize_t got = real(fd, data, size);
  if (got > 0 && Hits(fd, "read")) ((unsigned char*)data)[got / 2] ^= 0x01;
  return got;
}
