#include "shell/lifecycle_headless.h"
#include "shell/ui/operator_app.h"

#include <cstring>

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--headless") == 0)
            return RunHeadless(argc, argv);
    return RunOperatorWindow(argc, argv);
}
