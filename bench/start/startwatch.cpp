// Starts a program and reports, as an X client beside it, when its first window shows and how
// much memory it holds a while later. Black box: nothing of the program is asked or changed.
//
//   startwatch [--rss-after MS] [--timeout MS] -- PROGRAM [ARGS...]
//
// Prints "shown_ms=<ms from exec to the first mapped top-level window> rss_kib=<VmRSS after MS
// milliseconds from exec (default 500)>" and ends the program. A top-level window is a child of
// the root window that is not override-redirect: a window manager's frame around the program's
// window, or the program's own window when no window manager runs. Exit status 1 when the
// program ends or the timeout (default 20 s) passes before it shows a window.

#include <xcb/xcb.h>

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

double now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec * 1e3 + (double)ts.tv_nsec / 1e6;
}

long rss_kib(pid_t pid) {
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE *f = fopen(path, "r");
    if (!f) {
        return -1;
    }
    char line[256];
    long kib = -1;
    while (fgets(line, sizeof line, f)) {
        if (strncmp(line, "VmRSS:", 6) == 0) {
            kib = strtol(line + 6, NULL, 10);
            break;
        }
    }
    fclose(f);
    return kib;
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, NULL, WNOHANG) == pid) {
            return;
        }
        usleep(20000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
}

}  // namespace

int main(int argc, char **argv) {
    double rss_after = 500;
    double timeout = 20000;
    int i = 1;
    for (; i < argc; ++i) {
        if (!strcmp(argv[i], "--rss-after") && i + 1 < argc) {
            rss_after = atof(argv[++i]);
        } else if (!strcmp(argv[i], "--timeout") && i + 1 < argc) {
            timeout = atof(argv[++i]);
        } else if (!strcmp(argv[i], "--")) {
            ++i;
            break;
        } else {
            break;
        }
    }
    if (i >= argc) {
        fprintf(stderr, "usage: startwatch [--rss-after MS] [--timeout MS] -- PROGRAM [ARGS...]\n");
        return 2;
    }

    xcb_connection_t *x = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(x)) {
        fprintf(stderr, "startwatch: no X display\n");
        return 2;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t selected =
        xcb_change_window_attributes_checked(x, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_generic_error_t *error = xcb_request_check(x, selected);
    if (error) {
        free(error);
        fprintf(stderr, "startwatch: cannot watch the root window\n");
        return 2;
    }

    const double start = now_ms();
    const pid_t pid = fork();
    if (pid < 0) {
        perror("startwatch: fork");
        return 2;
    }
    if (pid == 0) {
        execvp(argv[i], argv + i);
        fprintf(stderr, "startwatch: cannot start %s: %s\n", argv[i], strerror(errno));
        _exit(127);
    }

    double shown = -1;
    struct pollfd fd = {xcb_get_file_descriptor(x), POLLIN, 0};
    while (shown < 0) {
        xcb_generic_event_t *event;
        while (shown < 0 && (event = xcb_poll_for_event(x))) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const xcb_map_notify_event_t *map = (const xcb_map_notify_event_t *)event;
                if (map->event == screen->root && !map->override_redirect) {
                    shown = now_ms() - start;
                }
            }
            free(event);
        }
        if (shown >= 0) {
            break;
        }
        if (xcb_connection_has_error(x) || waitpid(pid, NULL, WNOHANG) == pid) {
            fprintf(stderr, "startwatch: the program ended without showing a window\n");
            return 1;
        }
        const double left = timeout - (now_ms() - start);
        if (left <= 0) {
            fprintf(stderr, "startwatch: no window within %.0f ms\n", timeout);
            stop(pid);
            return 1;
        }
        poll(&fd, 1, left < 50 ? (int)left + 1 : 50);
    }

    const double wait = rss_after - (now_ms() - start);
    if (wait > 0) {
        usleep((useconds_t)(wait * 1000));
    }
    const long rss = rss_kib(pid);
    stop(pid);
    xcb_disconnect(x);
    printf("shown_ms=%.1f rss_kib=%ld\n", shown, rss);
    return 0;
}
