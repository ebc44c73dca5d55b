#include "PngDeflate.h"

#include <algorithm>
#include <atomic>
#include <ctime>
#include <exception>
#include <memory>
#include <mutex>

#include "Adler32.h"
#include "RunLengthDeflate.h"
#include "ZlibBlocks.h"
#include "host/engine/RowBands.h"

namespace {
// CPU time of the calling thread: what a stage cost, however many other
// threads the cores were shared with (mingw's runtime has the POSIX clock too).
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Filters rows [begin, end) into `out` (replacing it), each row its type
// byte and its residues, as they follow one another in the stream.
void FilterRows(const PngRows& rows, PngFilter filter, int begin, int end, const std::vector<uint8_t>& zeros,
                std::vector<uint8_t>& out, std::vector<uint8_t>& scratch) {
    const std::size_t bytes = zeros.size();
    out.resize(static_cast<std::size_t>(end - begin) * (bytes + 1));
    for (int y = begin; y < end; ++y)
        FilterPngRow(filter, rows.rowAt(y), y > 0 ? rows.rowAt(y - 1) : zeros.data(), bytes,
                     static_cast<std::size_t>(rows.pixelBytes), out.data() + static_cast<std::size_t>(y - begin) * (bytes + 1),
                     scratch);
}

// The filtered rows of a block and the rows before it, kept by each thread
// from one block and one mask to the next: fresh buffers of half a megabyte
// would be new mappings each time, and each of their pages a fault.
struct FilteredRows {
    std::vector<uint8_t> before, data, scratch;
};

FilteredRows& ThreadFilteredRows() {
    thread_local FilteredRows rows;
    return rows;
}

// What one band needs, made before it starts.
struct BlockWorker {
    explicit BlockWorker(const PngSettings& settings) {
        if (settings.coder == PngCoder::Zlib) deflater = std::make_unique<BlockDeflater>(settings.level, settings.strategy);
    }
    bool Ready() const { return deflater == nullptr || deflater->Ready(); }
    // Deflates the rows after those before them into `piece`: false on a compressor error.
    bool Deflate(const FilteredRows& rows, bool last, std::vector<uint8_t>& piece) {
        if (deflater != nullptr) return deflater->Deflate(rows.before, rows.data, last, piece);
        RunLengthDeflate(rows.data.data(), rows.data.size(), last, piece);
        return true;
    }
    std::unique_ptr<BlockDeflater> deflater;  // none for our own coder
    PngTimes times;
};
}  // namespace

int PngBlockRows(int width, int pixelBytes) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(pixelBytes) + 1;
    return static_cast<int>(std::max<std::size_t>(1, std::min<std::size_t>(kPngBlockBytes / rowBytes, 1u << 30)));
}

bool DeflatePngRows(const PngRows& rows, const PngSettings& settings, std::vector<std::vector<uint8_t>>& pieces,
                    PngTimes& times, std::string& why) {
    const std::size_t bytes = static_cast<std::size_t>(rows.width) * static_cast<std::size_t>(rows.pixelBytes);
    const std::vector<uint8_t> zeros(bytes, 0);
    const int blockRows = PngBlockRows(rows.width, rows.pixelBytes);
    const int blocks = (rows.height - 1) / blockRows + 1;
    // The rows whose filtered bytes fill what deflate can use before a block.
    const std::size_t reach = settings.coder == PngCoder::Zlib ? DeflateReach(settings.strategy) : 0;
    const int windowRows = static_cast<int>((reach + bytes) / (bytes + 1));
    pieces.assign(static_cast<std::size_t>(blocks), {});
    std::vector<uint32_t> adlers(static_cast<std::size_t>(blocks), 0);

    const std::vector<RowBand> bands = PlanRowBands(blocks, static_cast<std::size_t>(blockRows) * bytes);
    std::vector<std::unique_ptr<BlockWorker>> workers;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        workers.push_back(std::make_unique<BlockWorker>(settings));
        if (!workers.back()->Ready()) {
            why = "no memory for the compressor";
            return false;
        }
    }
    // Blocks go to whichever thread is free, so a thread the system holds
    // back does not hold the file back.
    std::atomic<int> nextBlock{0};
    std::atomic<bool> failed{false};
    std::mutex failing;
    RunRowBands(bands, [&](std::size_t band, int, int) {
        BlockWorker& worker = *workers[band];
        try {
            FilteredRows& filtered = ThreadFilteredRows();
            for (int block = nextBlock++; block < blocks && !failed; block = nextBlock++) {
                const int begin = block * blockRows, end = std::min(rows.height, begin + blockRows);
                double start = ThreadSeconds();
                if (begin > 0 && windowRows > 0)
                    FilterRows(rows, settings.filter, std::max(0, begin - windowRows), begin, zeros, filtered.before,
                               filtered.scratch);
                else
                    filtered.before.clear();
                FilterRows(rows, settings.filter, begin, end, zeros, filtered.data, filtered.scratch);
                worker.times.filterSeconds += ThreadSeconds() - start;
                start = ThreadSeconds();
                std::vector<uint8_t>& piece = pieces[static_cast<std::size_t>(block)];
                const bool last = block + 1 == blocks;
                if (!worker.Deflate(filtered, last, piece)) {
                    std::lock_guard<std::mutex> lock(failing);
                    if (!failed.exchange(true)) why = "compressor error";
                }
                adlers[static_cast<std::size_t>(block)] = Adler32(1, filtered.data.data(), filtered.data.size());
                worker.times.deflateSeconds += ThreadSeconds() - start;
            }
        } catch (const std::exception& error) {
            std::lock_guard<std::mutex> lock(failing);
            if (!failed.exchange(true)) why = std::string("out of resources: ") + error.what();
        }
    });
    if (failed) return false;
    for (const auto& worker : workers) {
        times.filterSeconds += worker->times.filterSeconds;
        times.deflateSeconds += worker->times.deflateSeconds;
    }
    // The frame around the blocks: the header before the first, the
    // combined checksum, big-endian, after the last.
    uint8_t header[2];
    ZlibHeader(settings.level, settings.strategy, header);
    pieces.front().insert(pieces.front().begin(), header, header + 2);
    uint32_t adler = adlers[0];
    for (int block = 1; block < blocks; ++block) {
        const int begin = block * blockRows, end = std::min(rows.height, begin + blockRows);
        adler = CombinedAdler(adler, adlers[static_cast<std::size_t>(block)],
                              static_cast<std::size_t>(end - begin) * (bytes + 1));
    }
    pieces.back().insert(pieces.back().end(), {static_cast<uint8_t>(adler >> 24), static_cast<uint8_t>(adler >> 16),
                                               static_cast<uint8_t>(adler >> 8), static_cast<uint8_t>(adler)});
    return true;
}
