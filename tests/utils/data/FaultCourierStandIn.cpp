// Stands in for the crash-report sender: records how it was started in the
// file named by QUILLET_COURIER_MARKER, as "<argument count>\n<argv[0]>\n".
// The marker appears whole (written aside, then renamed) so a poller never
// reads half of it.
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char* argv[])
{
    const char* marker = std::getenv("QUILLET_COURIER_MARKER");
    if (!marker)
        return 2;
    const std::string partial = std::string(marker) + ".part";
    std::FILE* file = std::fopen(partial.c_str(), "w");
    if (!file)
        return 3;
    std::fprintf(file, "%d\n%s\n", argc, argv[0]);
    std::fclose(file);
    return std::rename(partial.c_str(), marker) == 0 ? 0 : 4;
}
