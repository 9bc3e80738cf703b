/* Minimal DLL entry point for the fixture DLLs: no CRT, no imports. */
int __stdcall fixture_dll_main(void *instance, unsigned long reason, void *reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return 1;
}
