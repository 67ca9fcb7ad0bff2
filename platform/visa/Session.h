// One TCP socket session: the connection, its attributes and its fixed read
// and write buffers. Operations on a session hold its ioMutex; attributes are
// atomics, so that viGetAttribute, viSetAttribute and viClose never wait for
// an operation that is blocked on the network.
#ifndef VARNEL_VISA_SESSION_H
#define VARNEL_VISA_SESSION_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>

#include "Format.h"
#include "Resource.h"
#include "Trace.h"
#include "visa.h"

namespace varnel::visa {

constexpr std::size_t kReadBufferSize = 4096;
constexpr std::size_t kWriteBufferSize = 4096;
constexpr ViUInt32 kDefaultTimeout = 2000;

class Session;

// The time bound of one operation (or of one phase of viQueryf): the
// session's VI_ATTR_TMO_VALUE, counted from the start of the operation. The
// first wait of each direction blocks in the system call itself, bounded by
// SO_RCVTIMEO / SO_SNDTIMEO; later waits poll for what is left.
class IoOp {
public:
    explicit IoOp(Session& s);

    // Refills the session's read buffer, which must be empty.
    ViStatus Receive();
    // Sends n bytes; *sent tells how many went out.
    ViStatus Send(const void* data, std::size_t n, std::size_t* sent);

private:
    int RemainingMs();

    Session& s_;
    ViUInt32 timeout_;
    timespec start_;
    bool firstReceive_ = true;
    bool firstSend_ = true;
};

class SessionSource : public InSource {
public:
    ViStatus Refill() override;
    Session* session = nullptr;
    IoOp* op = nullptr;
    std::size_t traceMark = 0;  // start of the bytes not yet traced
};

class SessionSink : public OutSink {
public:
    SessionSink(Session& s, IoOp& op);
    ViStatus Drain() override;

private:
    Session& s_;
    IoOp& op_;
};

class Session {
public:
    Session(ViSession id, ViSession rm, int fd, ResourceName name, std::string peerAddress);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Marks the session closed and wakes any operation blocked on it; the
    // socket itself is closed when the last reference goes.
    void Close();

    // Connects with the given time-out (ms) and gives back the socket.
    static ViStatus Connect(const ResourceName& name, ViUInt32 timeout, int& fd, std::string& peerAddress);

    // Begins a call: resets what the trace records of it.
    void BeginCall();
    // Begins an operation (or a phase of viQueryf): copies the attributes
    // into the read source and brings the socket time-outs up to date.
    void BeginOp(IoOp& op);
    // Throws away what a formatted read left buffered, if anything.
    void DropFormattedInput();
    // Throws away buffered input and whatever already waits on the connection.
    ViStatus DiscardInput();

    const ViSession id;
    const ViSession rm;
    const int fd;
    const ResourceName name;
    const std::string peerAddress;

    std::atomic<bool> closed{false};
    std::atomic<ViUInt32> timeout{kDefaultTimeout};
    std::atomic<unsigned> termChar{'\n'};
    std::atomic<bool> termCharEnabled{false};

    // Guarded by ioMutex.
    std::mutex ioMutex;
    bool peerClosed = false;
    // This call has just read the connection dry without seeing a close
    // (DiscardInput), so its first send need not check for one again.
    bool closeChecked = false;
    // What the check for a closed peer before a send needs: whether the
    // session has read since it last sent, and when it last did I/O.
    bool readSinceSend = true;
    timespec lastIo{};
    ViUInt32 socketTimeout = kDefaultTimeout;  // the SO_RCVTIMEO / SO_SNDTIMEO in force
    // The buffered input belongs to formatted I/O (a viScanf or viQueryf
    // read into it last). viRead works on the connection, not on that
    // buffer: it throws such input away before it reads.
    bool formattedInput = false;
    SessionSource source;
    TraceBytes traceWritten;
    TraceBytes traceRead;
    std::size_t traceDiscarded = 0;
    unsigned char readBuffer[kReadBufferSize];
    char writeBuffer[kWriteBufferSize];
};

}  // namespace varnel::visa

#endif
