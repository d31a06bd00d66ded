// Start-up figures of any X program, seen from outside: waits for a viewable window whose title
// contains a given text, then for its first drawn picture (the window's pixels no longer all one
// colour), and prints "WINDOW_ID WINDOW_MS FRAME_MS", both in milliseconds since a start time given
// in nanoseconds of the real-time clock (`date +%s%N` just before the program was started).
// Polls every 2 ms; prints -1 for a figure not reached within the time-out. The window's pixels are
// read through shared memory where the X server offers it: a poll then costs the X server one copy
// within its own memory and nothing on the socket, so the probe neither lags behind a picture by
// the time of a 2 MB reply nor takes that time from the program it watches.
// Usage: window_probe TITLE_TEXT START_NS [TIMEOUT_SECONDS]   (bench/peer_games.sh runs it)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
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

// True when the pixels differ, every second pixel of every second row compared with the first.
bool Varied(XImage* image) {
  const unsigned long colour = image->red_mask | image->green_mask | image->blue_mask;
  const bool direct = image->bits_per_pixel == 32 && colour != 0;
  const unsigned long first = XGetPixel(image, 0, 0) & colour;
  for (int y = 0; y < image->height; y += 2) {
    if (direct) {
      const auto* row = reinterpret_cast<const uint32_t*>(image->data + y * image->bytes_per_line);
      for (int x = 0; x < image->width; x += 2) {
        if ((row[x] & colour) != first) return true;
      }
    } else {
      for (int x = 0; x < image->width; x += 2) {
        if ((XGetPixel(image, x, y) & colour) != first) return true;
      }
    }
  }
  return false;
}

// The window's pixels read through a shared memory segment, made anew when the window's size
// changes.
class SharedReader {
 public:
  explicit SharedReader(Display* display) : display_(display) {}
  ~SharedReader() { Release(); }
  SharedReader(const SharedReader&) = delete;
  SharedReader& operator=(const SharedReader&) = delete;

  // The pixels, or null when shared memory cannot be used for them.
  XImage* Read(Window window, const XWindowAttributes& attributes) {
    if (image_ == nullptr || image_->width != attributes.width ||
        image_->height != attributes.height) {
      Release();
      if (!Make(attributes)) return nullptr;
    }
    return XShmGetImage(display_, window, image_, 0, 0, AllPlanes) ? image_ : nullptr;
  }

 private:
  bool Make(const XWindowAttributes& attributes) {
    image_ = XShmCreateImage(display_, attributes.visual, static_cast<unsigned>(attributes.depth),
                             ZPixmap, nullptr, &info_, static_cast<unsigned>(attributes.width),
                             static_cast<unsigned>(attributes.height));
    if (image_ == nullptr) return false;
    info_.shmid =
        shmget(IPC_PRIVATE,
               static_cast<size_t>(image_->bytes_per_line) * static_cast<size_t>(image_->height),
               IPC_CREAT | 0600);
    info_.shmaddr = image_->data =
        info_.shmid < 0 ? nullptr : static_cast<char*>(shmat(info_.shmid, nullptr, 0));
    if (image_->data == reinterpret_cast<char*>(-1)) image_->data = info_.shmaddr = nullptr;
    info_.readOnly = False;
    attached_ = image_->data != nullptr && XShmAttach(display_, &info_);
    if (attached_) XSync(display_, False);
    // Marked for removal at once: the segment goes with the last detach, however the probe ends.
    if (info_.shmid >= 0) shmctl(info_.shmid, IPC_RMID, nullptr);
    if (!attached_) Release();
    return attached_;
  }
  void Release() {
    if (image_ == nullptr) return;
    if (attached_) XShmDetach(display_, &info_);
    if (info_.shmaddr != nullptr) shmdt(info_.shmaddr);
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
    attached_ = false;
    info_ = {};
  }

  Display* display_;
  XShmSegmentInfo info_{};
  XImage* image_ = nullptr;
  bool attached_ = false;
};

bool Drawn(Display* display, Window window, SharedReader* shared) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes)) return false;
  if (shared != nullptr) {
    if (XImage* image = shared->Read(window, attributes)) return Varied(image);
  }
  XImage* image =
      XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  const bool varied = Varied(image);
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
  std::unique_ptr<SharedReader> shared;
  if (XShmQueryExtension(display)) shared = std::make_unique<SharedReader>(display);
  while (window != 0 && frame_ms < 0 && MillisecondsSince(start_ns) < timeout_ms) {
    if (Drawn(display, window, shared.get())) {
      frame_ms = MillisecondsSince(start_ns);
    } else {
      pause();
    }
  }
  shared.reset();
  std::printf("%lu %.0f %.0f\n", static_cast<unsigned long>(window), window_ms, frame_ms);
  XCloseDisplay(display);
  return window != 0 && frame_ms >= 0 ? 0 : 1;
}
