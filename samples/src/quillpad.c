/*
 * quillpad.c - entry point of the Quill Pad sample module.
 *
 * The sample only exists to carry resources for Quillon to open, so the
 * program does nothing: no CRT, no imports, exit code 0.
 */
#include "resource.h"

int quillpad_main(void)
{
    return 0;
}
