#include "pack/staging_expansion.h"

#include "decoder/decoder.h"
#include "platform/platform.h"

void ExpandStagingTree(const char* sourceFolder, const char* destinationFolder, const ExtractReport* report)
{
    char pattern[PATH_BUFFER_SIZE + 8];
    if (!FormatPath(pattern, sizeof pattern, "%s%c*.*", sourceFolder, PATH_SEPARATOR)) return;

    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA(pattern, &entry);
    if (listing == INVALID_HANDLE_VALUE || listing == nullptr) return;

    do {
        if (lstrcmpA(".", entry.cFileName) == 0 || lstrcmpA("..", entry.cFileName) == 0) continue;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
        char destinationChild[PATH_BUFFER_SIZE];
        char sourceChild[PATH_BUFFER_SIZE];
        if (!FormatPath(destinationChild, MAX_PATH, "%s%c%s", destinationFolder, PATH_SEPARATOR, entry.cFileName) ||
            !FormatPath(sourceChild, MAX_PATH, "%s%c%s", sourceFolder, PATH_SEPARATOR, entry.cFileName)) {
            if (report != nullptr && report->problem != nullptr) {
                report->problem(report->context, entry.cFileName, "path in the install folder would not fit in 260 bytes");
            }
            continue;
        }
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            CreateDirectoryA(destinationChild, nullptr);
            ExpandStagingTree(sourceChild, destinationChild, report);
        } else if (!DecompressFile(sourceChild, destinationChild)) {
            if (report != nullptr && report->decodeFailed != nullptr) {
                report->decodeFailed(report->context, destinationChild, &lastDecodeFailure);
            }
        }
    } while (FindNextFileA(listing, &entry));

    FindClose(listing);
}
