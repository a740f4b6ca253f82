#include "platform/ProcessHardening.h"

#include <sys/resource.h>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace kavelmark
{

void HardenProcess()
{
#if defined(__linux__)
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
#endif
    // Also where the dumpable flag does not exist; a core file would hold every secret.
    struct rlimit none = {0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
}

} // namespace kavelmark
