#pragma once
// The pack reader: the folder table, the file table and the stored entries of
// Pack.qdx, staged into a fresh folder and then expanded into the install folder.
//
// Pack layout (all integers 4 bytes, little-endian, no gaps, no signature):
//   folder count (signed), folder rows, file count (signed), file rows, data area.
//   row: name length L (signed, 0..259), L name bytes, offset, size (unsigned).
// A file row's stored entry is `size` bytes at data-area start + `offset`;
// the data area starts right after the last file row.
#include <stdint.h>
#include <stdio.h>

#include "pack/pack_names.h"

// One table row as read. The name has a terminator right after its L bytes.
struct PackEntry {
    char name[MAX_NAME_LENGTH + 1];
    uint32_t offset;
    uint32_t size;
    PackEntry* next;
};

// A singly linked list that owns its records, in table order; destroying it
// frees every record. Records come from malloc, so they are freed with free.
class PackEntryList {
public:
    PackEntryList();
    ~PackEntryList();
    PackEntryList(const PackEntryList&) = delete;
    PackEntryList& operator=(const PackEntryList&) = delete;

    // Takes ownership of record (from malloc), whose next is null, at the tail.
    void Append(PackEntry* record);

    PackEntry* head;
    PackEntry* tail;
    int32_t count;
};

struct DecodeFailure;

// Whom ExtractPack tells about rows it leaves out and files that fail, for a
// tool that shows them; the launcher passes none, so it links no message
// text. subject is a row's stored name or a path; either callback may be null.
struct ExtractReport {
    void (*problem)(void* context, const char* subject, const char* description);
    // A staged file that did not decode; its destination has been removed.
    void (*decodeFailed)(void* context, const char* destination, const DecodeFailure* failure);
    void* context;
};

// Reads one table (count, then count rows) from pack into list. The count is
// checked against the bytes left in the pack before anything is allocated.
// Returns 1 when the whole table was read; 0 when the pack ends inside it, a
// name length is outside 0..259, or a record cannot be allocated. On 0,
// *problem (when given) says which; the list keeps the rows read so far.
int ReadPackTable(FILE* pack, int64_t packLength, PackEntryList* list, const char** problem);

// Unpacks the pack at packPath into installFolder (an existing folder, no
// trailing separator) through a staging folder of its own, which it deletes
// again. Returns 1 once the pack was opened and its tables read; 0 when it
// cannot be opened, its tables are damaged or no staging folder could be made,
// in which case nothing is staged or unpacked. Rows with a name the reader
// refuses, a staged path that does not fit, or an entry outside the pack are
// skipped.
int ExtractPack(const char* packPath, const char* installFolder, const ExtractReport* report = nullptr);

// Copies size bytes at position of pack to a new file at stagedPath, through
// one 4096-byte buffer. If the staged file cannot be made the pack is not
// touched and 0 is returned (the launcher does not act on it; a tool reports
// the row). Stops at a short read, so no byte is written that the pack does
// not hold.
int CopyStoredEntry(const char* stagedPath, FILE* pack, int32_t position, uint32_t size);
