/* Start-up timer of the benchmarks, a native X client: starts a command, polls the X display
 * every 0.5 ms for a viewable top-level window with the given name (and size, unless 0 0), prints
 * the milliseconds from the start of the command to the first sight of it, then ends the command
 * (SIGTERM, SIGKILL after 5 s) and waits for it.
 *
 *   waitwin NAME WIDTH HEIGHT TIMEOUT_MS COMMAND [ARGS...]
 *
 * Exit code 0 when the window was seen, 1 on time-out, 2 on bad usage or no display. */
#define _DEFAULT_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static int ignore_errors(Display* d, XErrorEvent* e)
{
    (void)d;
    (void)e;
    return 0; /* windows come and go while we look */
}

static int name_is(Display* d, Window w, const char* name)
{
    int match = 0;
    char* text = NULL;
    if (XFetchName(d, w, &text) && text)
    {
        match = strcmp(text, name) == 0;
        XFree(text);
    }
    return match;
}

static int seen(Display* d, const char* name, int cx, int cy)
{
    Window root_ret, parent, *children = NULL;
    unsigned int n = 0, i;
    int found = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root_ret, &parent, &children, &n))
        return 0;
    for (i = 0; i < n && !found; i++)
    {
        XWindowAttributes a;
        if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable)
            continue;
        if (cx > 0 && (a.width != cx || a.height != cy))
            continue;
        found = name_is(d, children[i], name);
    }
    if (children)
        XFree(children);
    return found;
}

static void end_child(pid_t pid)
{
    int status, i;
    kill(pid, SIGTERM);
    for (i = 0; i < 500; i++)
    {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
}

int main(int argc, char** argv)
{
    if (argc < 6)
    {
        fprintf(stderr, "usage: waitwin NAME WIDTH HEIGHT TIMEOUT_MS COMMAND [ARGS...]\n");
        return 2;
    }
    const char* name = argv[1];
    const int cx = atoi(argv[2]), cy = atoi(argv[3]);
    const double limit = atof(argv[4]);
    Display* d = XOpenDisplay(NULL);
    if (!d)
    {
        fprintf(stderr, "waitwin: no X display\n");
        return 2;
    }
    XSetErrorHandler(ignore_errors);

    const double start = now_ms();
    pid_t pid = fork();
    if (pid == 0)
    {
        execvp(argv[5], argv + 5);
        _exit(127);
    }
    int found = 0;
    double t = start;
    while (!found && (t = now_ms()) - start < limit)
    {
        found = seen(d, name, cx, cy);
        if (!found)
        {
            int status;
            if (waitpid(pid, &status, WNOHANG) == pid)
            {
                fprintf(stderr, "waitwin: the command ended before its window appeared\n");
                XCloseDisplay(d);
                return 1;
            }
            usleep(500);
        }
    }
    if (found)
        printf("%.1f\n", t - start);
    else
        fprintf(stderr, "waitwin: no window named %s within %.0f ms\n", name, limit);
    fflush(stdout);
    end_child(pid);
    XCloseDisplay(d);
    return found ? 0 : 1;
}
