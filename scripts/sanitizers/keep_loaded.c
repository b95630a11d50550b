/* Preloaded into the sanitizer runs: shared libraries stay loaded until the
 * process ends. The OpenGL driver is unloaded when the game closes its display,
 * before LeakSanitizer reports at exit; its leaks would then show as an
 * "<unknown module>" that no suppression can name. */
int dlclose(void* handle)
{
    (void)handle;
    return 0;
}
