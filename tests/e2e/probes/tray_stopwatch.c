/* Times a program from its launch until its tray icon shows, for the
 * start-up bench. An X client: it waits until the tray icon area of the
 * screen is empty (at most two colours, as the rig's own check), takes the
 * time, starts the command, then reads the area's pixels about every
 * millisecond until more than two colours show. Prints:
 *   launch_ms <milliseconds from the launch to the first read that showed the icon>
 *   pid <process id of the command>
 *   reads <number of reads after the launch>
 * The command keeps running when this ends.
 * Usage: tray_stopwatch X Y WIDTH HEIGHT TIMEOUT_MS COMMAND [ARGS...]
 * Exit status: 0 shown, 1 timed out, 2 the command ended first, 3 the area
 * never became empty, 4 usage or X errors. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double since(const struct timespec* start) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (double)(now.tv_sec - start->tv_sec) * 1000.0 + (double)(now.tv_nsec - start->tv_nsec) / 1e6;
}

/* How many colours the area shows, counting up to three. */
static int colours(Display* display, Window root, int x, int y, unsigned width, unsigned height) {
  XImage* image = XGetImage(display, root, x, y, width, height, AllPlanes, ZPixmap);
  if (image == NULL) return -1;
  unsigned long seen[3];
  int count = 0;
  for (unsigned row = 0; row < height && count < 3; ++row) {
    for (unsigned column = 0; column < width && count < 3; ++column) {
      const unsigned long pixel = XGetPixel(image, (int)column, (int)row);
      int known = 0;
      for (int i = 0; i < count; ++i) known |= seen[i] == pixel;
      if (!known) seen[count++] = pixel;
    }
  }
  XDestroyImage(image);
  return count;
}

static void add_ms(struct timespec* when, long ms) {
  when->tv_nsec += ms * 1000000L;
  while (when->tv_nsec >= 1000000000L) {
    when->tv_nsec -= 1000000000L;
    when->tv_sec += 1;
  }
}

int main(int argc, char** argv) {
  if (argc < 7) {
    fprintf(stderr, "usage: tray_stopwatch X Y WIDTH HEIGHT TIMEOUT_MS COMMAND [ARGS...]\n");
    return 4;
  }
  const int x = atoi(argv[1]);
  const int y = atoi(argv[2]);
  const unsigned width = (unsigned)atoi(argv[3]);
  const unsigned height = (unsigned)atoi(argv[4]);
  const double timeout = atof(argv[5]);
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "tray_stopwatch: cannot open the display\n");
    return 4;
  }
  const Window root = DefaultRootWindow(display);

  struct timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
  int shown;
  while ((shown = colours(display, root, x, y, width, height)) > 2) {
    if (since(&start) > 5000.0) {
      fprintf(stderr, "tray_stopwatch: the tray area shows something before the launch\n");
      return 3;
    }
    usleep(10000);
  }
  if (shown < 0) {
    fprintf(stderr, "tray_stopwatch: cannot read the screen\n");
    return 4;
  }

  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t child = fork();
  if (child < 0) return 4;
  if (child == 0) {
    /* The command must not hold this program's output open: the caller
     * reads it to the end. */
    const int nothing = open("/dev/null", O_RDWR);
    if (nothing >= 0) {
      dup2(nothing, 0);
      dup2(nothing, 1);
      dup2(nothing, 2);
      if (nothing > 2) close(nothing);
    }
    execvp(argv[6], argv + 6);
    _exit(127);
  }
  struct timespec next = start;
  long reads = 0;
  int status = 1;
  for (;;) {
    add_ms(&next, 1);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, NULL) == EINTR) {
    }
    ++reads;
    const int count = colours(display, root, x, y, width, height);
    const double elapsed = since(&start);
    if (count > 2) {
      printf("launch_ms %.1f\n", elapsed);
      status = 0;
      break;
    }
    if (elapsed > timeout) {
      printf("launch_ms timeout\n");
      break;
    }
    int child_status;
    if (waitpid(child, &child_status, WNOHANG) == child) {
      printf("launch_ms ended\n");
      status = 2;
      break;
    }
    /* Slow reads (a loaded machine) must not pile up catching up. */
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (now.tv_sec > next.tv_sec || (now.tv_sec == next.tv_sec && now.tv_nsec > next.tv_nsec)) next = now;
  }
  printf("pid %ld\nreads %ld\n", (long)child, reads);
  XCloseDisplay(display);
  return status;
}
