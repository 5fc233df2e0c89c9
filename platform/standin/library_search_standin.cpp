#include "platform/library_search.h"

// The stand-in loads no libraries at run time; there is nothing to restrict.
int RestrictLibrarySearch()
{
    return 0;
}
