/* Faults injected into a real program through LD_PRELOAD, for the tests of
   what it does when a card misbehaves. BCT_FAULT names one fault and the
   files it hits, by a part of their path:
     write:PART    write() to such a file fails with EIO
     full:PART     write() to such a file fails with ENOSPC
     read:PART     read() from such a file returns its bytes with one flipped
     slow:PART     every write() to such a file first waits a millisecond
     vanish:PART   a file renamed to a name holding PART is removed right
                   after (a file gone from a card after its read-back)
     hook:PART     the first read() of more than 64 KiB from such a file (a
                   copy's read, not a look at its headers) first runs the
                   shell command BCT_HOOK, once in the process: for a test
                   to change something at a known point of the run
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

int rename(const char* from, const char* to) {
  static int (*real)(const char*, const char*);
  if (real == NULL) real = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
  int done = real(from, to);
  const char* fault = getenv("BCT_FAULT");
  if (done == 0 && fault != NULL && strncmp(fault, "vanish:", 7) == 0 && strstr(to, fault + 7) != NULL)
    unlink(to);
  return done;
}

ssize_t read(int fd, void* data, size_t size) {
  static ssize_t (*real)(int, void*, size_t);
  if (real == NULL) real = (ssize_t(*)(int, void*, size_t))dlsym(RTLD_NEXT, "read");
  static int hooked;
  if (size > 65536 && Hits(fd, "hook") && __sync_bool_compare_and_swap(&hooked, 0, 1) &&
      getenv("BCT_HOOK") != NULL) {
    if (system(getenv("BCT_HOOK")) != 0) fprintf(stderr, "io_fault_shim: BCT_HOOK failed\n");
  }
  ssize_t got = real(fd, data, size);
  if (got > 0 && Hits(fd, "read")) ((unsigned char*)data)[got / 2] ^= 0x01;
  return got;
}
