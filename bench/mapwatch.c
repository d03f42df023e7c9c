/* mapwatch: watches an X server from the outside for the benchmarks.
 *
 *   mapwatch start [--exit] [--hold] [--timeout MS] -- PROGRAM ARGS...
 *     Connects, selects SubstructureNotify on the root window, then forks and execs PROGRAM
 *     (t0 = just before fork, CLOCK_MONOTONIC). Prints one JSON line with
 *       map_ms    the first MapNotify of a top-level window that is not override-redirect
 *                 (any top-level if only override-redirect ones appear),
 *       paint_ms  the first time that window holds more than one pixel value (checked with
 *                 XGetImage on every Damage event the window reports, and every 20 ms), i.e.
 *                 the first frame the client drew, not the server's background fill,
 *       exit_ms   with --exit: from SIGTERM, sent 300 ms after the paint, to the child's end.
 *     --hold: after printing, closes the display and waits for the child to end.
 *
 *   mapwatch damage SECONDS
 *     Creates a raw-rectangle Damage object on every mapped top-level window and reports,
 *     as JSON, every rectangle drawn onto them during SECONDS, grouped by rectangle, with
 *     the number of distinct one-second bursts.
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static int ignore_errors(Display* d, XErrorEvent* e) {
    (void)d;
    (void)e;
    return 0;
}

/* True when the window's contents hold more than one pixel value. */
static int painted(Display* d, Window w) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable) return 0;
    XImage* img = XGetImage(d, w, 0, 0, (unsigned)a.width, (unsigned)a.height, AllPlanes, ZPixmap);
    if (!img) return 0;
    const unsigned long first = XGetPixel(img, 0, 0);
    int varied = 0;
    for (int y = 0; y < img->height && !varied; y += 1)
        for (int x = 0; x < img->width; x += 1)
            if (XGetPixel(img, x, y) != first) {
                varied = 1;
                break;
            }
    XDestroyImage(img);
    return varied;
}

static int wait_events(Display* d, int ms) {
    struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
    if (XPending(d)) return 1;
    return poll(&p, 1, ms) > 0;
}

static int cmd_start(int argc, char** argv) {
    int do_exit = 0, hold = 0;
    double timeout = 20000;
    int i = 0;
    for (; i < argc; ++i) {
        if (!strcmp(argv[i], "--exit"))
            do_exit = 1;
        else if (!strcmp(argv[i], "--hold"))
            hold = 1;
        else if (!strcmp(argv[i], "--timeout") && i + 1 < argc)
            timeout = atof(argv[++i]);
        else if (!strcmp(argv[i], "--")) {
            ++i;
            break;
        } else
            break;
    }
    if (i >= argc) {
        fprintf(stderr, "mapwatch start: no program\n");
        return 2;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "mapwatch: cannot open display\n");
        return 2;
    }
    XSetErrorHandler(ignore_errors);
    int dmg_event = 0, dmg_error = 0;
    const int have_damage = XDamageQueryExtension(d, &dmg_event, &dmg_error);
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);

    const double t0 = now_ms();
    const pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(d));
        execvp(argv[i], argv + i);
        _exit(127);
    }
    double t_map = -1, t_paint = -1, t_exit = -1;
    Window target = 0, any_or = 0;
    double t_or = -1;
    int status = 0, exited = 0;
    double last_check = 0;
    while (now_ms() - t0 < timeout && t_paint < 0) {
        if (waitpid(child, &status, WNOHANG) == child) {
            exited = 1;
            break;
        }
        const int ready = wait_events(d, 2);
        while (ready && XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == MapNotify && e.xmap.event == root && !target) {
                if (e.xmap.override_redirect) {
                    if (!any_or) {
                        any_or = e.xmap.window;
                        t_or = now_ms() - t0;
                    }
                    continue;
                }
                target = e.xmap.window;
                t_map = now_ms() - t0;
                if (have_damage) XDamageCreate(d, target, XDamageReportNonEmpty);
                if (painted(d, target)) t_paint = now_ms() - t0;
            } else if (have_damage && e.type == dmg_event + XDamageNotify && target &&
                       t_paint < 0) {
                XDamageSubtract(d, ((XDamageNotifyEvent*)&e)->damage, 0, 0);
                if (painted(d, target)) t_paint = now_ms() - t0;
            }
        }
        /* A fallback for a server without DAMAGE, or a frame drawn before it was armed. */
        if (target && t_paint < 0 && now_ms() - last_check > 20) {
            last_check = now_ms();
            if (painted(d, target)) t_paint = now_ms() - t0;
        }
        /* Only override-redirect windows for a second: take the first of them. */
        if (!target && any_or && now_ms() - t0 > t_or + 1000) {
            target = any_or;
            t_map = t_or;
        }
    }
    XCloseDisplay(d);
    if (do_exit && !exited) {
        usleep(300000);
        const double ts = now_ms();
        kill(child, SIGTERM);
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        t_exit = now_ms() - ts;
        exited = 1;
    }
    printf("{\"pid\": %d, \"map_ms\": %.3f, \"paint_ms\": %.3f, \"exit_ms\": %.3f, "
           "\"died\": %s}\n",
           (int)child, t_map, t_paint, t_exit, exited && !do_exit ? "true" : "false");
    fflush(stdout);
    if (hold && !exited)
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    return 0;
}

struct rect_count {
    int x, y, w, h, n;
};

static int cmd_damage(int argc, char** argv) {
    if (argc < 1) return 2;
    const double seconds = atof(argv[0]);
    Display* d = XOpenDisplay(NULL);
    if (!d) return 2;
    XSetErrorHandler(ignore_errors);
    int ev = 0, er = 0;
    if (!XDamageQueryExtension(d, &ev, &er)) {
        printf("{\"error\": \"no DAMAGE extension\"}\n");
        return 0;
    }
    Window root_ret, parent, *kids = NULL;
    unsigned nk = 0;
    XQueryTree(d, DefaultRootWindow(d), &root_ret, &parent, &kids, &nk);
    for (unsigned k = 0; k < nk; ++k) {
        XWindowAttributes a;
        if (XGetWindowAttributes(d, kids[k], &a) && a.map_state == IsViewable)
            XDamageCreate(d, kids[k], XDamageReportRawRectangles);
    }
    if (kids) XFree(kids);
    XSync(d, False);
    struct rect_count rects[256];
    int nrects = 0;
    long events = 0, area = 0, bursts = 0;
    double last = -1e9;
    const double t0 = now_ms();
    while (now_ms() - t0 < seconds * 1e3) {
        if (!wait_events(d, 50)) continue;
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type != ev + XDamageNotify) continue;
            const XDamageNotifyEvent* de = (const XDamageNotifyEvent*)&e;
            const double t = now_ms();
            if (t - last > 200) ++bursts;
            last = t;
            ++events;
            const XRectangle* r = &de->area;
            area += (long)r->width * r->height;
            int j = 0;
            for (; j < nrects; ++j)
                if (rects[j].x == r->x && rects[j].y == r->y && rects[j].w == r->width &&
                    rects[j].h == r->height)
                    break;
            if (j == nrects && nrects < 256)
                rects[nrects++] = (struct rect_count){r->x, r->y, r->width, r->height, 0};
            if (j < nrects) ++rects[j].n;
        }
    }
    printf("{\"seconds\": %.3f, \"bursts\": %ld, \"events\": %ld, \"area\": %ld, \"rects\": [",
           (now_ms() - t0) / 1e3, bursts, events, area);
    for (int j = 0; j < nrects; ++j)
        printf("%s[%d, %d, %d, %d, %d]", j ? ", " : "", rects[j].x, rects[j].y, rects[j].w,
               rects[j].h, rects[j].n);
    printf("]}\n");
    XCloseDisplay(d);
    return 0;
}

int main(int argc, char** argv) {
    if (argc >= 2 && !strcmp(argv[1], "start")) return cmd_start(argc - 2, argv + 2);
    if (argc >= 2 && !strcmp(argv[1], "damage")) return cmd_damage(argc - 2, argv + 2);
    fprintf(stderr, "usage: mapwatch start [--exit] [--hold] [--timeout MS] -- PROGRAM ARGS...\n"
                    "       mapwatch damage SECONDS\n");
    return 2;
}
