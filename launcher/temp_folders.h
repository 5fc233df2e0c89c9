#pragma once
// The launcher's two working folders under the user's temporary folder:
// numbered names, creation, and the one recursive removal.

// Tries at most this many numbers per folder before giving up.
enum { MAX_FOLDER_NUMBERS = 10000 };

// Makes the first free "<temp>ZoQalInst<N>" and leaves its full path in out
// (264 bytes). When no folder could be made (no usable temporary path, or
// every number tried), out is left empty; callers test out[0].
void MakeUniqueTempFolder(char* out);

// Makes the first free "<temp>latmp<N>.tmp" and copies its full path into out
// (264 bytes). When no folder could be made, out is left as it was.
void MakeStagingFolder(char* out);

// Deletes every file and sub-folder below folder, then folder itself, as far
// as the platform lets it. Refuses an empty or relative path outright. Links
// (reparse points) are removed themselves, never entered.
void RemoveTree(const char* folder);
