// Exports something, but not the "loggerInstance" factory.
extern "C" __attribute__((visibility("default"))) int notALogger()
{
    return 42;
}
