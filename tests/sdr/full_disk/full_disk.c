/* SPDX-License-Identifier: GPL-3.0-or-later */
/* Preloaded into the tool: a disk of FULL_DISK_BYTES bytes for the files of the folder FULL_DISK_FOLDER,
   where a file system cannot be mounted. A write that would make the folder's files take more takes what
   fits and then fails with ENOSPC, as a full file system does; writing within a file's length takes no room,
   and cutting a file short or removing it gives its room back. Other files are written as usual. */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#define EXPORTED __attribute__((visibility("default")))

/* The bytes the folder's regular files take. */
static long long usedBytes(const char* folder) {
  DIR* dir = opendir(folder);
  if (dir == NULL) return 0;
  long long used = 0;
  for (struct dirent* entry = readdir(dir); entry != NULL; entry = readdir(dir)) {
    struct stat st;
    if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) used += st.st_size;
  }
  closedir(dir);
  return used;
}

/* Whether fd is a regular file directly in `folder`, and its length. */
static int inFolder(int fd, const char* folder, struct stat* st) {
  char link[64], path[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = readlink(link, path, sizeof path - 1);
  if (length < 0) return 0;
  path[length] = '\0';
  const size_t n = strlen(folder);
  if (strncmp(path, folder, n) != 0 || path[n] != '/' || strchr(path + n + 1, '/') != NULL) return 0;
  return fstat(fd, st) == 0 && S_ISREG(st->st_mode);
}

/* How many of the n bytes written to fd at `at` (-1: its file position) fit on the disk. */
static size_t room(int fd, off_t at, size_t n) {
  const char* folder = getenv("FULL_DISK_FOLDER");
  const char* capacity = getenv("FULL_DISK_BYTES");
  struct stat st;
  if (folder == NULL || capacity == NULL || !inFolder(fd, folder, &st)) return n;
  if (at < 0) at = (fcntl(fd, F_GETFL) & O_APPEND) ? st.st_size : lseek(fd, 0, SEEK_CUR);
  const long long growth = (long long)at + (long long)n - st.st_size;
  if (growth <= 0) return n;
  long long free = atoll(capacity) - usedBytes(folder);
  if (free < 0) free = 0;
  if (growth <= free) return n;
  return (size_t)((st.st_size > at ? st.st_size - at : 0) + free);
}

EXPORTED ssize_t write(int fd, const void* bytes, size_t n) {
  static ssize_t (*real)(int, const void*, size_t);
  if (real == NULL) real = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
  const size_t fits = room(fd, -1, n);
  if (fits == 0 && n > 0) {
    errno = ENOSPC;
    return -1;
  }
  return real(fd, bytes, fits);
}

EXPORTED ssize_t pwrite(int fd, const void* bytes, size_t n, off_t at) {
  static ssize_t (*real)(int, const void*, size_t, off_t);
  if (real == NULL) real = (ssize_t(*)(int, const void*, size_t, off_t))dlsym(RTLD_NEXT, "pwrite");
  const size_t fits = room(fd, at, n);
  if (fits == 0 && n > 0) {
    errno = ENOSPC;
    return -1;
  }
  return real(fd, bytes, fits, at);
}

EXPORTED ssize_t pwrite64(int fd, const void* bytes, size_t n, off_t at) { return pwrite(fd, bytes, n, at); }

/* C++ streams write their buffer and the rest of a large write in one call. */
EXPORTED ssize_t writev(int fd, const struct iovec* parts, int count) {
  static ssize_t (*real)(int, const struct iovec*, int);
  if (real == NULL) real = (ssize_t(*)(int, const struct iovec*, int))dlsym(RTLD_NEXT, "writev");
  size_t total = 0;
  for (int k = 0; k < count; ++k) total += parts[k].iov_len;
  size_t fits = room(fd, -1, total);
  if (fits == total) return real(fd, parts, count);
  if (fits == 0) {
    errno = ENOSPC;
    return -1;
  }
  struct iovec taken[IOV_MAX];
  int n = 0;
  for (; n < count && n < IOV_MAX && fits > 0; ++n) {
    taken[n] = parts[n];
    if (taken[n].iov_len > fits) taken[n].iov_len = fits;
    fits -= taken[n].iov_len;
  }
  return real(fd, taken, n);
}
