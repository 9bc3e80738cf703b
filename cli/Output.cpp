#include "Output.h"

namespace quillon::cli {

Output& Out() {
    static Output out(stdout);
    return out;
}

Output& Err() {
    static Output err(stderr, stdout);
    return err;
}

} // namespace quillon::cli
