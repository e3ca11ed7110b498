// The server's save data as the stand-in keeps it: chunks, each a list of micro-chunks,
// in memory. A stream is written through the save commands and read back through the
// load commands; the handle the plugin passes back is the stream itself. Every command
// that reaches a stream is logged, so a test can check the exact order of calls.
#pragma once

#include "host/command_table.h"

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

class ChunkStream {
  public:
    struct MicroChunk {
        uint32_t Id;
        std::vector<unsigned char> Bytes;
    };
    struct Chunk {
        uint32_t Id;
        std::vector<MicroChunk> Micro;
    };

    // The saved data; a test may put chunks of its own before or after.
    std::vector<Chunk> Chunks;
    // Every command in order, e.g. "begin 63736176", "micro 1 4", "end", "open 63736176",
    // "open-micro 1", "read 4", "close-micro", "close", "open none".
    std::vector<std::string> Log;
    // Calls out of order (a read with no micro-chunk open, a chunk left open, and so on).
    std::vector<std::string> Errors;

    ChunkSaveData* Save_Handle() { return reinterpret_cast<ChunkSaveData*>(this); }
    ChunkLoadData* Load_Handle() { return reinterpret_cast<ChunkLoadData*>(this); }
    static ChunkStream& Of(ChunkSaveData* save) { return *reinterpret_cast<ChunkStream*>(save); }
    static ChunkStream& Of(ChunkLoadData* load) { return *reinterpret_cast<ChunkStream*>(load); }

    // Loading starts again at the first chunk; the log is cleared.
    void Rewind();

    void Begin_Chunk(uint32_t id);
    void Write_Micro_Chunk(uint32_t id, uint32_t size, const void* data);
    void End_Chunk();
    bool Open_Chunk(uint32_t* id);
    void Close_Chunk();
    bool Open_Micro_Chunk(uint32_t* id);
    void Read_Micro_Chunk(uint32_t size, void* data);
    void Close_Micro_Chunk();

  private:
    void Error(const std::string& what) { Errors.push_back(what); }

    bool writing_ = false;  // a chunk begun and not yet ended
    size_t next_chunk_ = 0; // next chunk Open_Chunk gives
    long open_chunk_ = -1;  // chunk opened and not yet closed
    size_t next_micro_ = 0;
    long open_micro_ = -1;
    size_t read_offset_ = 0; // within the open micro-chunk
};

// The eight save and load commands of the command table.
void Save_Micro_Chunk(ChunkSaveData* save, uint32_t id, uint32_t size, const void* data);
bool Load_Open_Micro_Chunk(ChunkLoadData* load, uint32_t* id);
void Load_Micro_Chunk_Data(ChunkLoadData* load, uint32_t size, void* data);
void Load_Close_Micro_Chunk(ChunkLoadData* load);
void Save_Begin_Chunk(ChunkSaveData* save, uint32_t id);
void Save_End_Chunk(ChunkSaveData* save);
bool Load_Open_Chunk(ChunkLoadData* load, uint32_t* id);
void Load_Close_Chunk(ChunkLoadData* load);

} // namespace standin
