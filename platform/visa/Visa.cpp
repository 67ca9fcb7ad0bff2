// The VISA entry points: resource manager sessions, instrument (TCP socket)
// sessions, attributes, raw and formatted I/O, status descriptions. See
// docs/visa.md for what is implemented and which status each case returns.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Format.h"
#include "Resource.h"
#include "Session.h"
#include "Status.h"
#include "Trace.h"
#include "visa.h"

using varnel::visa::FindStatus;
using varnel::visa::IoOp;
using varnel::visa::ResourceName;
using varnel::visa::Session;
using varnel::visa::SessionSink;
using varnel::visa::SessionSource;
using varnel::visa::StatusInfo;
using varnel::visa::TraceLine;
using varnel::visa::TraceOn;

namespace {

constexpr std::size_t kAttrStringSize = 256;  // VISA: string attributes fill at most 256 bytes

struct ResourceManager {
    std::vector<ViSession> sessions;
};

// The process-wide tables, under one lock held only to look up, add or
// remove entries; I/O never runs under it.
struct Registry {
    std::mutex mutex;
    std::unordered_map<ViSession, std::shared_ptr<Session>> sessions;
    std::unordered_map<ViSession, ResourceManager> managers;
    ViSession last = 0;

    ViSession NewId() {
        for (;;) {
            ++last;
            if (last == VI_NULL) continue;
            if (sessions.count(last) == 0 && managers.count(last) == 0) return last;
        }
    }
};

Registry& Reg() {
    static Registry* registry = new Registry;  // never destroyed: sessions may outlive static destruction
    return *registry;
}

// Finds an instrument session: VI_SUCCESS, VI_ERROR_NSUP_OPER for a resource
// manager session, VI_ERROR_INV_OBJECT otherwise.
ViStatus Lookup(ViSession vi, std::shared_ptr<Session>& out) {
    Registry& r = Reg();
    std::lock_guard<std::mutex> guard(r.mutex);
    const auto it = r.sessions.find(vi);
    if (it != r.sessions.end()) {
        out = it->second;
        return VI_SUCCESS;
    }
    return r.managers.count(vi) ? VI_ERROR_NSUP_OPER : VI_ERROR_INV_OBJECT;
}

std::string Hex(ViUInt32 v) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%08X", v);
    return b;
}

void TraceIo(Session& s, const char* op, ViStatus st) {
    std::string d;
    if (s.traceDiscarded) d += "discarded=" + std::to_string(s.traceDiscarded) + " ";
    if (s.traceWritten.Total()) d += "wrote=" + s.traceWritten.Escaped() + " ";
    SessionSource& src = s.source;
    if (src.pos > src.traceMark) s.traceRead.Add(src.buf + src.traceMark, src.pos - src.traceMark);
    src.traceMark = src.pos;
    if (s.traceRead.Total()) d += "read=" + s.traceRead.Escaped() + " ";
    if (!d.empty()) d.pop_back();
    TraceLine(s.id, op, d, st);
}

ViStatus DoPrintf(Session& s, ViConstString fmt, va_list* args) {
    IoOp op(s);
    s.BeginOp(op);
    SessionSink sink(s, op);
    ViStatus st = varnel::visa::FormatWrite(sink, fmt, args);
    if (st < 0) {
        sink.Discard();
        return st;
    }
    if (sink.Pending()) st = sink.Drain();
    return st;
}

ViStatus DoScanf(Session& s, ViConstString fmt, va_list* args) {
    IoOp op(s);
    s.BeginOp(op);
    const ViStatus st = varnel::visa::ScanRead(s.source, fmt, args);
    s.source.op = nullptr;
    s.formattedInput = true;
    return st;
}

}  // namespace

// --- resource manager and sessions -------------------------------------------

ViStatus viOpenDefaultRM(ViPSession vi) {
    if (vi == nullptr) return VI_ERROR_USER_BUF;
    Registry& r = Reg();
    {
        std::lock_guard<std::mutex> guard(r.mutex);
        *vi = r.NewId();
        r.managers.emplace(*vi, ResourceManager());
    }
    if (TraceOn()) TraceLine(*vi, "viOpenDefaultRM", "", VI_SUCCESS);
    return VI_SUCCESS;
}

ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout, ViPSession vi) {
    if (vi == nullptr) return VI_ERROR_USER_BUF;
    *vi = VI_NULL;
    ViStatus st = VI_SUCCESS;
    ResourceName parsed;
    int fd = -1;
    std::string peer;
    {
        Registry& r = Reg();
        std::lock_guard<std::mutex> guard(r.mutex);
        if (r.managers.count(sesn) == 0) st = r.sessions.count(sesn) ? VI_ERROR_NSUP_OPER : VI_ERROR_INV_OBJECT;
    }
    if (st >= 0 && (mode & ~static_cast<ViAccessMode>(VI_EXCLUSIVE_LOCK | VI_SHARED_LOCK | VI_LOAD_CONFIG)) != 0)
        st = VI_ERROR_INV_ACC_MODE;
    if (st >= 0 && (mode & (VI_EXCLUSIVE_LOCK | VI_SHARED_LOCK)) != 0) st = VI_ERROR_NSUP_OPER;  // no locking
    if (st >= 0) st = varnel::visa::ParseResourceName(name, parsed);
    if (st >= 0) st = Session::Connect(parsed, timeout, fd, peer);
    if (st >= 0) {
        Registry& r = Reg();
        std::lock_guard<std::mutex> guard(r.mutex);
        const auto m = r.managers.find(sesn);
        if (m == r.managers.end()) {
            st = VI_ERROR_INV_OBJECT;  // the resource manager was closed meanwhile
        } else {
            const ViSession id = r.NewId();
            r.sessions.emplace(id, std::make_shared<Session>(id, sesn, fd, std::move(parsed), std::move(peer)));
            m->second.sessions.push_back(id);
            fd = -1;
            *vi = id;
        }
    }
    if (fd >= 0) ::close(fd);
    if (TraceOn()) TraceLine(sesn, "viOpen", std::string("rsrc=") + (name ? name : "(null)") + " vi=" + std::to_string(*vi), st);
    return st;
}

ViStatus viClose(ViObject vi) {
    if (vi == VI_NULL) return VI_WARN_NULL_OBJECT;
    std::vector<std::shared_ptr<Session>> closing;
    ViStatus st = VI_SUCCESS;
    {
        Registry& r = Reg();
        std::lock_guard<std::mutex> guard(r.mutex);
        const auto m = r.managers.find(vi);
        if (m != r.managers.end()) {
            for (ViSession id : m->second.sessions) {
                const auto it = r.sessions.find(id);
                if (it != r.sessions.end()) {
                    closing.push_back(std::move(it->second));
                    r.sessions.erase(it);
                }
            }
            r.managers.erase(m);
        } else {
            const auto it = r.sessions.find(vi);
            if (it == r.sessions.end()) {
                st = VI_ERROR_INV_OBJECT;
            } else {
                const auto owner = r.managers.find(it->second->rm);
                if (owner != r.managers.end()) {
                    auto& list = owner->second.sessions;
                    for (auto x = list.begin(); x != list.end(); ++x)
                        if (*x == vi) {
                            list.erase(x);
                            break;
                        }
                }
                closing.push_back(std::move(it->second));
                r.sessions.erase(it);
            }
        }
    }
    // Outside the lock: wake blocked operations; each socket closes when its
    // last user lets go.
    for (auto& s : closing) s->Close();
    closing.clear();
    if (TraceOn()) TraceLine(vi, "viClose", "", st);
    return st;
}

// --- attributes ----------------------------------------------------------------

ViStatus viGetAttribute(ViObject vi, ViAttr attr, void* value) {
    std::shared_ptr<Session> s;
    ViStatus st = Lookup(vi, s);
    if (st == VI_ERROR_NSUP_OPER) st = VI_ERROR_NSUP_ATTR;  // a resource manager has none of them
    if (st >= 0 && value == nullptr) st = VI_ERROR_USER_BUF;
    if (st >= 0) {
        switch (attr) {
            case VI_ATTR_TMO_VALUE:
                *static_cast<ViUInt32*>(value) = s->timeout.load();
                break;
            case VI_ATTR_INTF_TYPE:
                *static_cast<ViUInt16*>(value) = VI_INTF_TCPIP;
                break;
            case VI_ATTR_INTF_NUM:
                *static_cast<ViUInt16*>(value) = s->name.board;
                break;
            case VI_ATTR_TCPIP_PORT:
                *static_cast<ViUInt16*>(value) = s->name.port;
                break;
            case VI_ATTR_TERMCHAR:
                *static_cast<ViUInt8*>(value) = static_cast<ViUInt8>(s->termChar.load());
                break;
            case VI_ATTR_TERMCHAR_EN:
                *static_cast<ViBoolean*>(value) = s->termCharEnabled.load() ? VI_TRUE : VI_FALSE;
                break;
            case VI_ATTR_RSRC_CLASS:
            case VI_ATTR_RSRC_NAME:
            case VI_ATTR_TCPIP_ADDR: {
                const std::string& text = attr == VI_ATTR_RSRC_CLASS ? std::string("SOCKET")
                                          : attr == VI_ATTR_RSRC_NAME ? s->name.canonical
                                                                      : s->peerAddress;
                const std::size_t n = text.size() < kAttrStringSize - 1 ? text.size() : kAttrStringSize - 1;
                std::memcpy(value, text.data(), n);
                static_cast<char*>(value)[n] = '\0';
                break;
            }
            default:
                st = VI_ERROR_NSUP_ATTR;
        }
    }
    if (TraceOn()) TraceLine(vi, "viGetAttribute", "attr=" + Hex(attr), st);
    return st;
}

ViStatus viSetAttribute(ViObject vi, ViAttr attr, ViAttrState value) {
    std::shared_ptr<Session> s;
    ViStatus st = Lookup(vi, s);
    if (st == VI_ERROR_NSUP_OPER) st = VI_ERROR_NSUP_ATTR;
    if (st >= 0) {
        switch (attr) {
            case VI_ATTR_TMO_VALUE:
                if (value > 0xFFFFFFFFu) st = VI_ERROR_NSUP_ATTR_STATE;
                else s->timeout.store(static_cast<ViUInt32>(value));
                break;
            case VI_ATTR_TERMCHAR:
                if (value > 0xFF) st = VI_ERROR_NSUP_ATTR_STATE;
                else s->termChar.store(static_cast<unsigned>(value));
                break;
            case VI_ATTR_TERMCHAR_EN:
                if (value != VI_TRUE && value != VI_FALSE) st = VI_ERROR_NSUP_ATTR_STATE;
                else s->termCharEnabled.store(value == VI_TRUE);
                break;
            case VI_ATTR_INTF_TYPE:
            case VI_ATTR_INTF_NUM:
            case VI_ATTR_RSRC_CLASS:
            case VI_ATTR_RSRC_NAME:
            case VI_ATTR_TCPIP_ADDR:
            case VI_ATTR_TCPIP_PORT:
                st = VI_ERROR_ATTR_READONLY;
                break;
            default:
                st = VI_ERROR_NSUP_ATTR;
        }
    }
    if (TraceOn())
        TraceLine(vi, "viSetAttribute", "attr=" + Hex(attr) + " value=" + std::to_string(static_cast<unsigned long long>(value)), st);
    return st;
}

ViStatus viStatusDesc(ViObject vi, ViStatus status, ViChar desc[]) {
    if (desc == nullptr) return VI_ERROR_USER_BUF;
    if (vi != VI_NULL) {
        Registry& r = Reg();
        std::lock_guard<std::mutex> guard(r.mutex);
        if (r.sessions.count(vi) == 0 && r.managers.count(vi) == 0) return VI_ERROR_INV_OBJECT;
    }
    const StatusInfo* info = FindStatus(status);
    if (info == nullptr) {
        std::snprintf(desc, 256, "Unknown status code 0x%08X.", static_cast<unsigned>(status));
        return VI_WARN_UNKNOWN_STATUS;
    }
    std::snprintf(desc, 256, "%s: %s", info->name, info->text);
    return VI_SUCCESS;
}

// --- raw I/O -------------------------------------------------------------------

ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
    if (retCnt) *retCnt = 0;
    std::shared_ptr<Session> s;
    ViStatus st = Lookup(vi, s);
    if (st < 0) return st;
    if (buf == nullptr && cnt > 0) return VI_ERROR_USER_BUF;
    std::lock_guard<std::mutex> io(s->ioMutex);
    if (s->closed.load()) return VI_ERROR_INV_OBJECT;
    s->BeginCall();
    // What a formatted read buffered and did not use (the rest of a reply it
    // failed to scan, say) is not for an unformatted read.
    s->DropFormattedInput();
    IoOp op(*s);
    s->BeginOp(op);
    SessionSource& src = s->source;
    const bool term = src.termCharEnabled;
    const unsigned char tc = src.termChar;
    ViUInt32 n = 0;
    st = VI_SUCCESS_MAX_CNT;
    while (n < cnt) {
        if (src.pos == src.len) {
            st = src.Refill();
            if (st < 0) break;
            st = VI_SUCCESS_MAX_CNT;
        }
        std::size_t k = src.len - src.pos;
        if (k > cnt - n) k = cnt - n;
        const unsigned char* from = src.buf + src.pos;
        bool hit = false;
        if (term) {
            const void* at = std::memchr(from, tc, k);
            if (at) {
                k = static_cast<std::size_t>(static_cast<const unsigned char*>(at) - from) + 1;
                hit = true;
            }
        }
        std::memcpy(buf + n, from, k);
        src.pos += k;
        n += static_cast<ViUInt32>(k);
        if (hit) {
            st = VI_SUCCESS_TERM_CHAR;
            break;
        }
    }
    if (retCnt) *retCnt = n;
    if (TraceOn()) TraceIo(*s, "viRead", st);
    src.op = nullptr;
    return st;
}

ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
    if (retCnt) *retCnt = 0;
    std::shared_ptr<Session> s;
    ViStatus st = Lookup(vi, s);
    if (st < 0) return st;
    if (buf == nullptr && cnt > 0) return VI_ERROR_USER_BUF;
    std::lock_guard<std::mutex> io(s->ioMutex);
    if (s->closed.load()) return VI_ERROR_INV_OBJECT;
    s->BeginCall();
    IoOp op(*s);
    s->BeginOp(op);
    std::size_t sent = 0;
    st = op.Send(buf, cnt, &sent);
    if (retCnt) *retCnt = static_cast<ViUInt32>(sent);
    if (TraceOn()) TraceIo(*s, "viWrite", st);
    return st;
}

// --- formatted I/O -------------------------------------------------------------

ViStatus viVPrintf(ViSession vi, ViConstString writeFmt, ViVAList params) {
    std::shared_ptr<Session> s;
    ViStatus st = Lookup(vi, s);
    if (st < 0) return st;
    st = varnel::visa::ValidateWriteFormat(writeFmt);
    if (st < 0) return st;
    std::lock_guard<std::mutex> io(s->ioMutex);
    if (s->closed.load()) return VI_ERROR_INV_OBJECT;
    va_list args;
    va_copy(args, params);
    s->BeginCall();
    st = DoPrintf(*s, writeFmt, &args);
    va_end(args);
    if (TraceOn()) TraceIo(*s, "viPrintf", st);
    return st;
}

ViStatus viPrintf(ViSession vi, ViConstString writeFmt, ...) {
    va_list args;
    va_start(args, writeFmt);
    const ViStatus st = viVPrintf(vi, writeFmt, args);
    va_end(args);
    return st;
}

ViStatus viVScanf(ViSession vi, ViConstString readFmt, ViVAList params) {
    std::shared_ptr<Session> s;
    ViStatus st = Lookup(vi, s);
    if (st < 0) return st;
    st = varnel::visa::ValidateReadFormat(readFmt);
    if (st < 0) return st;
    std::lock_guard<std::mutex> io(s->ioMutex);
    if (s->closed.load()) return VI_ERROR_INV_OBJECT;
    va_list args;
    va_copy(args, params);
    s->BeginCall();
    st = DoScanf(*s, readFmt, &args);
    va_end(args);
    if (TraceOn()) TraceIo(*s, "viScanf", st);
    return st;
}

ViStatus viScanf(ViSession vi, ViConstString readFmt, ...) {
    va_list args;
    va_start(args, readFmt);
    const ViStatus st = viVScanf(vi, readFmt, args);
    va_end(args);
    return st;
}

ViStatus viVQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ViVAList params) {
    std::shared_ptr<Session> s;
    ViStatus st = Lookup(vi, s);
    if (st < 0) return st;
    st = varnel::visa::ValidateWriteFormat(writeFmt);
    if (st >= 0) st = varnel::visa::ValidateReadFormat(readFmt);
    if (st < 0) return st;
    std::lock_guard<std::mutex> io(s->ioMutex);
    if (s->closed.load()) return VI_ERROR_INV_OBJECT;
    va_list args;
    va_copy(args, params);
    s->BeginCall();
    // A reply nobody asked for, the rest of a reply that was only partly
    // read, or one that came after a time-out never answers this query.
    st = s->DiscardInput();
    if (st >= 0) st = DoPrintf(*s, writeFmt, &args);
    if (st >= 0) st = DoScanf(*s, readFmt, &args);
    va_end(args);
    if (TraceOn()) TraceIo(*s, "viQueryf", st);
    return st;
}

ViStatus viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ...) {
    va_list args;
    va_start(args, readFmt);
    const ViStatus st = viVQueryf(vi, writeFmt, readFmt, args);
    va_end(args);
    return st;
}
