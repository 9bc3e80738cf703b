/* Minimal entry point for the fixture executables: no CRT, no imports. */
int fixture_main(void)
{
    return 0;
}

#ifdef FIXTURE_WITH_RELOCS
/*
 * An absolute address in .data, so the linker has to emit a .reloc
 * section (placed after .rsrc).  Only used for unstripped64.exe.
 */
int (*volatile fixture_self)(void) = fixture_main;
#endif
