#include "comm/SerialBackend.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

speed_t SpeedCode(int rate) {
  switch (rate) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;  // no standard code for it
  }
}

tcflag_t SizeFlag(int bits) {
  switch (bits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

// Parity flags of the component's parity codes.
tcflag_t ParityFlags(int parity) {
  switch (parity) {
    case 1: return PARENB | PARODD;
    case 2: return PARENB;
    case 3: return PARENB | PARODD | CMSPAR;
    default: return 0;
  }
}

bool NotSupported(int err) { return err == ENOTTY || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP; }

class PosixSerialBackend : public SerialBackend {
public:
  PosixSerialBackend() { MakeWakeUp(); }
  ~PosixSerialBackend() override {
    Close();
    for (int fd : wake_)
      if (fd >= 0) ::close(fd);
  }

  bool Open(const std::string& path) override {
    Close();
    // Without its wake-up the event thread could not be stopped: no port then.
    if (!MakeWakeUp()) return false;
    const int fd = OpenExclusive(path);
    if (fd < 0) return false;
    fd_ = fd;
    unsupported_ = 0;
    haveSaved_ = false;
    marking_ = false;
    decoder_.Reset();
    SetLine(TIOCM_RTS, false, suModemControl);
    return true;
  }

  bool IsOpen() const override { return fd_ >= 0; }
  int Handle() const override { return fd_; }

  bool CanOpen(const std::string& path) override {
    const int fd = OpenExclusive(path);
    if (fd < 0) return false;
    int rts = TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &rts);  // a probe must not key the modem
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    return true;
  }

  bool Configure(const TSerialLine& line) override {
    if (fd_ < 0 || ::tcgetattr(fd_, &saved_) != 0) return false;
    haveSaved_ = true;
    termios t = saved_;
    t.c_iflag &= ~(IGNBRK | BRKINT | IGNPAR | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | IMAXBEL |
                   INPCK | PARMRK);
    // Errors are marked in the stream so that Read can put '?' in their place; the parity
    // check itself is on only with a parity.
    t.c_iflag |= PARMRK;
    if (line.Parity != 0) t.c_iflag |= INPCK;
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CREAD | CLOCAL | SizeFlag(line.ByteSize) | ParityFlags(line.Parity);
    if (line.StopBits != 0) t.c_cflag |= CSTOPB;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    const speed_t speed = SpeedCode(line.BaudRate);
    unsigned missing = 0;
    if (speed != B0) {
      ::cfsetispeed(&t, speed);
      ::cfsetospeed(&t, speed);
    } else {
      missing |= suBaudRate;
    }
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return false;

    // Some ports (pseudo-terminals) accept the call but keep only part of it.
    termios got{};
    if (::tcgetattr(fd_, &got) == 0) {
      const tcflag_t parityMask = PARENB | PARODD | CMSPAR;
      if ((got.c_cflag & parityMask) != (t.c_cflag & parityMask)) missing |= suParity;
      if ((got.c_cflag & CSTOPB) != (t.c_cflag & CSTOPB)) missing |= suStopBits;
      if (speed != B0 && ::cfgetospeed(&got) != speed) missing |= suBaudRate;
      marking_ = (got.c_iflag & PARMRK) != 0;
    }
    unsupported_ |= missing;
    return true;
  }

  void Purge(bool input, bool output) override {
    if (fd_ < 0) return;
    if (input && output) {
      ::tcflush(fd_, TCIOFLUSH);
    } else if (input) {
      ::tcflush(fd_, TCIFLUSH);
    } else if (output) {
      ::tcflush(fd_, TCOFLUSH);
    }
  }

  bool SetRTS(bool on) override { return SetLine(TIOCM_RTS, on, suModemControl); }
  bool SetDTR(bool on) override { return SetLine(TIOCM_DTR, on, suModemControl); }

  bool ModemLines(unsigned& lines) override {
    lines = 0;
    if (fd_ < 0 || (unsupported_ & suModemStatus)) return false;
    int bits = 0;
    if (::ioctl(fd_, TIOCMGET, &bits) != 0) {
      if (NotSupported(errno)) unsupported_ |= suModemStatus;
      return false;
    }
    if (bits & TIOCM_CAR) lines |= smlCD;
    if (bits & TIOCM_RNG) lines |= smlRING;
    if (bits & TIOCM_CTS) lines |= smlCTS;
    if (bits & TIOCM_DSR) lines |= smlDSR;
    return true;
  }

  TSerialWait Wait(int timeoutMs, bool watchPort) override {
    pollfd p[2] = {{wake_[0], POLLIN, 0}, {fd_, POLLIN, 0}};
    const nfds_t n = (watchPort && fd_ >= 0) ? 2 : 1;
    const int r = ::poll(p, n, timeoutMs < 0 ? -1 : timeoutMs);
    if (r <= 0) return TSerialWait::Timeout;  // time-out, or a signal: the caller waits again
    if (p[0].revents & POLLIN) {
      char sink[64];
      while (::read(wake_[0], sink, sizeof sink) > 0) {
      }
      return TSerialWait::Woken;
    }
    if (n == 2) {
      if (p[1].revents & POLLIN) return TSerialWait::Input;
      if (p[1].revents & (POLLHUP | POLLERR | POLLNVAL)) return TSerialWait::Hangup;
    }
    return TSerialWait::Timeout;
  }

  void Wake() override {
    const char b = 1;
    if (wake_[1] >= 0 && ::write(wake_[1], &b, 1) < 0) {
      // the pipe is full: a wake-up is pending already
    }
  }

  int Read(std::uint8_t* buf, int max, bool& lineError) override {
    lineError = false;
    if (fd_ < 0 || max <= 0) return fd_ < 0 ? -1 : 0;
    std::uint8_t raw[512];
    const int want = max < static_cast<int>(sizeof raw) ? max : static_cast<int>(sizeof raw);
    const ssize_t n = ::read(fd_, raw, static_cast<size_t>(want));
    if (n == 0) return -1;  // hung up
    if (n < 0) return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    if (!marking_) {
      for (ssize_t i = 0; i < n; ++i) buf[i] = raw[i];
      return static_cast<int>(n);
    }
    return decoder_.Decode(raw, static_cast<int>(n), buf, lineError);
  }

  int Write(const std::uint8_t* buf, int n) override {
    if (fd_ < 0) return -1;
    if (n <= 0) return 0;
    int done = 0;
    while (done < n) {
      const ssize_t w = ::write(fd_, buf + done, static_cast<size_t>(n - done));
      if (w > 0) {
        done += static_cast<int>(w);
      } else if (w < 0 && errno == EINTR) {
        continue;
      } else if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        break;  // the port's queue is full: the line is not moving
      } else {
        return done > 0 ? done : -1;
      }
    }
    return done;
  }

  bool Drain() override {
    if (fd_ < 0) return false;
    for (;;) {
      if (::tcdrain(fd_) == 0) return true;
      if (errno != EINTR) return false;
    }
  }

  void Close() override {
    if (fd_ < 0) return;
    ::tcflush(fd_, TCOFLUSH);  // so that neither the close nor a drain waits for the line
    if (haveSaved_) ::tcsetattr(fd_, TCSANOW, &saved_);
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
    haveSaved_ = false;
  }

  unsigned Unsupported() const override { return unsupported_; }

private:
  bool MakeWakeUp() {
    if (wake_[0] >= 0) return true;
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) == 0) return true;
    wake_[0] = wake_[1] = -1;
    return false;
  }

  static int OpenExclusive(const std::string& path) {
    if (path.empty()) return -1;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    // The lock refuses a second open by this program or another one that locks; the exclusive
    // mode refuses other programs (but for the superuser).
    if (!::isatty(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return -1;
    }
    ::ioctl(fd, TIOCEXCL);
    return fd;
  }

  bool SetLine(int bit, bool on, unsigned feature) {
    if (fd_ < 0 || (unsupported_ & feature)) return false;
    if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) == 0) return true;
    if (NotSupported(errno)) unsupported_ |= feature;
    return false;
  }

  int fd_ = -1;
  int wake_[2] = {-1, -1};
  termios saved_{};
  bool haveSaved_ = false;
  bool marking_ = false;  // PARMRK is in force: decode the marks
  TErrorMarkDecoder decoder_;
  std::atomic<unsigned> unsupported_{0};
};

}  // namespace

int TErrorMarkDecoder::Decode(const std::uint8_t* in, int n, std::uint8_t* out, bool& lineError) {
  int stored = 0;
  for (int i = 0; i < n; ++i) {
    const std::uint8_t c = in[i];
    if (state_ == 0) {
      if (c == 0xFF) {
        state_ = 1;
      } else {
        out[stored++] = c;
      }
    } else if (state_ == 1) {
      if (c == 0x00) {
        state_ = 2;
      } else {
        out[stored++] = c;  // FF FF: the data byte FF
        state_ = 0;
      }
    } else {
      out[stored++] = '?';
      lineError = true;
      state_ = 0;
    }
  }
  return stored;
}

std::unique_ptr<SerialBackend> MakeSerialBackend() { return std::make_unique<PosixSerialBackend>(); }
