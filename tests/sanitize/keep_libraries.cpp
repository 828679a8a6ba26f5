// Preloaded into every process of the sanitizer run: dlclose leaves each library
// mapped, so that LeakSanitizer, which reports at exit, can still name the Mesa
// driver that allocated a leaked block instead of "<unknown module>".
// Built without sanitizers: Xvfb and xdotool load it too.
extern "C" int dlclose(void* /*handle*/)
{
    return 0;
}
