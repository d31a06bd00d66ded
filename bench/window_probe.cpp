// Start-up figures of any X program, seen from outside: waits for a viewable window whose title
// contains a given text, then for its first drawn picture (the window's pixels no longer all one
// colour), and prints "WINDOW_ID WINDOW_MS FRAME_MS", both in milliseconds since a start time given
// in nanoseconds of the real-time clock (`date +%s%N` just before the program was started).
// Polls every 2 ms; prints -1 for a figure not reached within the time-out.
// Usage: window_probe TITLE_TEXT START_NS [TIMEOUT_SECONDS]   (bench/peer_games.sh runs it)
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// The window may vanish between finding it and reading it; that is a miss, not an end.
int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

double MillisecondsSince(long long start_ns) {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return (std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() - start_ns) / 1e6;
}

bool Viewable(Display* display, Window window) {
  XWindowAttributes attributes{};
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
         attributes.width > 1 && attributes.height > 1;
}

// The title's raw bytes, whatever its encoding (SDL 1.2 writes a STRING, others UTF8_STRING):
// the texts looked for are ASCII.
bool TitleHas(Display* display, Window window, const char* text) {
  XTextProperty name{};
  if (!XGetWMName(display, window, &name) || name.value == nullptr) return false;
  const std::string title(reinterpret_cast<const char*>(name.value), name.nitems);
  XFree(name.value);
  return title.find(text) != std::string::npos;
}

// Depth-first over the window tree (a toolkit may put the titled window under a frame).
Window FindWindow(Display* display, Window under, const char* text) {
  if (TitleHas(display, under, text) && Viewable(display, under)) return under;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, under, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && found == 0; ++i) found = FindWindow(display, children[i], text);
  if (children != nullptr) XFree(children);
  return found;
}

bool Drawn(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes)) return false;
  XImage* image =
      XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  const unsigned long first = XGetPixel(image, 0, 0);
  bool varied = false;
  for (int y = 0; y < image->height && !varied; y += 2) {
    for (int x = 0; x < image->width; x += 2) {
      if (XGetPixel(image, x, y) != first) {
        varied = true;
        break;
      }
    }
  }
  XDestroyImage(image);
  return varied;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s TITLE_TEXT START_NS [TIMEOUT_SECONDS]\n", argv[0]);
    return 2;
  }
  const char* title = argv[1];
  const long long start_ns = std::atoll(argv[2]);
  const double timeout_ms = (argc > 3 ? std::atof(argv[3]) : 20.0) * 1000.0;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "window_probe: no X display\n");
    return 1;
  }
  XSetErrorHandler(IgnoreXError);
  const auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); };

  Window window = 0;
  double window_ms = -1, frame_ms = -1;
  while (window == 0 && MillisecondsSince(start_ns) < timeout_ms) {
    window = FindWindow(display, DefaultRootWindow(display), title);
    if (window == 0) pause();
  }
  if (window != 0) window_ms = MillisecondsSince(start_ns);
  while (window != 0 && frame_ms < 0 && MillisecondsSince(start_ns) < timeout_ms) {
    if (Drawn(display, window)) {
      frame_ms = MillisecondsSince(start_ns);
    } else {
      pause();
    }
  }
  std::printf("%lu %.0f %.0f\n", static_cast<unsigned long>(window), window_ms, frame_ms);
  XCloseDisplay(display);
  return window != 0 && frame_ms >= 0 ? 0 : 1;
}
