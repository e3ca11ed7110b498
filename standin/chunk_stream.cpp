#include "standin/chunk_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace standin {
namespace {

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(value));
    return text;
}

} // namespace

void ChunkStream::Rewind() {
    Log.clear();
    next_chunk_ = 0;
    open_chunk_ = open_micro_ = -1;
    next_micro_ = read_offset_ = 0;
}

void ChunkStream::Begin_Chunk(uint32_t id) {
    Log.push_back("begin " + Hex(id));
    if (writing_)
        Error("chunk begun inside a chunk");
    Chunks.push_back({id, {}});
    writing_ = true;
}

void ChunkStream::Write_Micro_Chunk(uint32_t id, uint32_t size, const void* data) {
    Log.push_back("micro " + Hex(id) + " " + std::to_string(size));
    if (!writing_) {
        Error("micro-chunk outside a chunk");
        return;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    Chunks.back().Micro.push_back({id, std::vector<unsigned char>(bytes, bytes + size)});
}

void ChunkStream::End_Chunk() {
    Log.push_back("end");
    if (!writing_)
        Error("chunk ended that was not begun");
    writing_ = false;
}

bool ChunkStream::Open_Chunk(uint32_t* id) {
    if (open_chunk_ >= 0)
        Error("chunk opened inside an open chunk");
    if (next_chunk_ >= Chunks.size()) {
        Log.push_back("open none");
        return false;
    }
    open_chunk_ = static_cast<long>(next_chunk_++);
    next_micro_ = 0;
    *id = Chunks[static_cast<size_t>(open_chunk_)].Id;
    Log.push_back("open " + Hex(*id));
    return true;
}

void ChunkStream::Close_Chunk() {
    Log.push_back("close");
    if (open_chunk_ < 0)
        Error("chunk closed that was not open");
    if (open_micro_ >= 0)
        Error("chunk closed with a micro-chunk open");
    open_chunk_ = open_micro_ = -1;
}

bool ChunkStream::Open_Micro_Chunk(uint32_t* id) {
    if (open_chunk_ < 0) {
        Error("micro-chunk opened outside a chunk");
        return false;
    }
    if (open_micro_ >= 0)
        Error("micro-chunk opened inside an open micro-chunk");
    const Chunk& chunk = Chunks[static_cast<size_t>(open_chunk_)];
    if (next_micro_ >= chunk.Micro.size()) {
        Log.push_back("open-micro none");
        return false;
    }
    open_micro_ = static_cast<long>(next_micro_++);
    read_offset_ = 0;
    *id = chunk.Micro[static_cast<size_t>(open_micro_)].Id;
    Log.push_back("open-micro " + Hex(*id));
    return true;
}

void ChunkStream::Read_Micro_Chunk(uint32_t size, void* data) {
    Log.push_back("read " + std::to_string(size));
    if (open_chunk_ < 0 || open_micro_ < 0) {
        Error("read with no micro-chunk open");
        return;
    }
    const std::vector<unsigned char>& bytes =
        Chunks[static_cast<size_t>(open_chunk_)].Micro[static_cast<size_t>(open_micro_)].Bytes;
    const size_t available = bytes.size() - read_offset_;
    if (size > available)
        Error("read past the end of a micro-chunk");
    const size_t count = std::min<size_t>(size, available);
    std::memcpy(data, bytes.data() + read_offset_, count);
    read_offset_ += count;
}

void ChunkStream::Close_Micro_Chunk() {
    Log.push_back("close-micro");
    if (open_micro_ < 0)
        Error("micro-chunk closed that was not open");
    open_micro_ = -1;
}

void Save_Micro_Chunk(ChunkSaveData* save, uint32_t id, uint32_t size, const void* data) {
    ChunkStream::Of(save).Write_Micro_Chunk(id, size, data);
}
bool Load_Open_Micro_Chunk(ChunkLoadData* load, uint32_t* id) {
    return ChunkStream::Of(load).Open_Micro_Chunk(id);
}
void Load_Micro_Chunk_Data(ChunkLoadData* load, uint32_t size, void* data) {
    ChunkStream::Of(load).Read_Micro_Chunk(size, data);
}
void Load_Close_Micro_Chunk(ChunkLoadData* load) {
    ChunkStream::Of(load).Close_Micro_Chunk();
}
void Save_Begin_Chunk(ChunkSaveData* save, uint32_t id) {
    ChunkStream::Of(save).Begin_Chunk(id);
}
void Save_End_Chunk(ChunkSaveData* save) {
    ChunkStream::Of(save).End_Chunk();
}
bool Load_Open_Chunk(ChunkLoadData* load, uint32_t* id) {
    return ChunkStream::Of(load).Open_Chunk(id);
}
void Load_Close_Chunk(ChunkLoadData* load) {
    ChunkStream::Of(load).Close_Chunk();
}

} // namespace standin
