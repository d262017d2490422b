#include "geodata/MappedFile.h"

#include "platform/foundation/RegularFile.h"

#include <atomic>
#include <csignal>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

namespace geodata {

namespace {

// The mappings a bus error may hit, as the signal handler sees them. A fault inside one
// puts zeros in place of its pages from there to its end and marks it; any other fault goes
// to the handler that was there before, as if this one were not.
namespace buserrorguard {

struct Watched {
    std::atomic<quintptr> begin{0};
    std::atomic<quintptr> end{0};
    std::atomic<bool> tripped{false};
};

constexpr int kSlots = 64;
Watched watched[kSlots];
struct sigaction previous {};
quintptr pageSize = 4096;

// Only atomics and system calls: nothing here may take a lock.
void handle(int signal, siginfo_t* info, void* context)
{
    const quintptr address = reinterpret_cast<quintptr>(info->si_addr);
    for (Watched& slot : watched) {
        const quintptr begin = slot.begin.load(std::memory_order_acquire);
        const quintptr end = slot.end.load(std::memory_order_acquire);
        // BUS_ADRERR: a page of a mapped file that no longer exists.
        if (info->si_code != BUS_ADRERR || begin == 0 || address < begin || address >= end)
            continue;
        const quintptr page = address & ~(pageSize - 1);
        void* zeros = ::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros == MAP_FAILED)
            break;
        slot.tripped.store(true);
        return;
    }
    // Not ours: what the previous disposition would have done. A fault is never ignored.
    const bool sent = info->si_code <= 0;
    if (previous.sa_flags & SA_SIGINFO) {
        previous.sa_sigaction(signal, info, context);
    } else if (previous.sa_handler == SIG_DFL || (previous.sa_handler == SIG_IGN && !sent)) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
    } else if (previous.sa_handler != SIG_IGN) {
        previous.sa_handler(signal);
    }
}

void install()
{
    pageSize = quintptr(::sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = handle;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &previous);
}

// The slot watching the pages of [begin, begin + length), or -1 when every slot is taken.
int watch(const void* begin, qsizetype length)
{
    static std::once_flag installed;
    std::call_once(installed, install);
    const quintptr first = reinterpret_cast<quintptr>(begin);
    const quintptr end = first + ((quintptr(length) + pageSize - 1) & ~(pageSize - 1));
    for (int slot = 0; slot < kSlots; ++slot) {
        quintptr free = 0;
        if (watched[slot].begin.compare_exchange_strong(free, first)) {
            watched[slot].tripped.store(false);
            watched[slot].end.store(end, std::memory_order_release);
            return slot;
        }
    }
    return -1;
}

void release(int slot)
{
    watched[slot].end.store(0, std::memory_order_release);
    watched[slot].begin.store(0, std::memory_order_release);
}

bool tripped(int slot)
{
    return watched[slot].tripped.load();
}

} // namespace buserrorguard

} // namespace

std::optional<MappedFile> MappedFile::open(const QString& path, qint64 maximumSize, QString* reason)
{
    const std::optional<platform::RegularFile> file = platform::RegularFile::open(path, maximumSize, reason);
    if (!file)
        return std::nullopt;
    MappedFile mapped;
    const qsizetype size = qsizetype(file->size());
    void* memory = size > 0 ? ::mmap(nullptr, size_t(size), PROT_READ, MAP_PRIVATE, file->descriptor(), 0) : MAP_FAILED;
    if (memory != MAP_FAILED) {
        mapped.m_watch = buserrorguard::watch(memory, size);
        if (mapped.m_watch >= 0) {
            mapped.m_mapping = memory;
            mapped.m_mappedLength = size;
            mapped.m_bytes = QByteArray::fromRawData(static_cast<const char*>(memory), size);
            return mapped;
        }
        ::munmap(memory, size_t(size));
    }
    // Empty, not mappable, or too many mapped at once.
    std::optional<QByteArray> bytes = file->readAll(reason);
    if (!bytes)
        return std::nullopt;
    mapped.m_bytes = std::move(*bytes);
    return mapped;
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : m_bytes(std::move(other.m_bytes)),
      m_mapping(std::exchange(other.m_mapping, nullptr)),
      m_mappedLength(std::exchange(other.m_mappedLength, 0)),
      m_watch(std::exchange(other.m_watch, -1))
{
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept
{
    std::swap(m_bytes, other.m_bytes);
    std::swap(m_mapping, other.m_mapping);
    std::swap(m_mappedLength, other.m_mappedLength);
    std::swap(m_watch, other.m_watch);
    return *this;
}

MappedFile::~MappedFile()
{
    if (!m_mapping)
        return;
    buserrorguard::release(m_watch);
    ::munmap(m_mapping, size_t(m_mappedLength));
}

bool MappedFile::changed() const
{
    return m_watch >= 0 && buserrorguard::tripped(m_watch);
}

} // namespace geodata
