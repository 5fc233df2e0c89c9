#pragma once
// Where the process may load libraries from.

// Restricts library loading to the system folder, so that a library planted
// beside the program (a Downloads folder is anyone's) is never loaded. Uses
// SetDefaultDllDirectories where the system has it, else at least takes the
// current folder out of the search. Returns 1 when the restriction to the
// system folder is in force, 0 when only the fallback (or nothing) applied.
int RestrictLibrarySearch();
