#include <cstdio>
#include <iostream>

#include "cli/Cli.h"
#include "platform/Files.h"

int main(int argc, char* argv[]) {
    const cli::Environment env{std::cout, std::cerr, platform::IsTerminal(stderr), {}, &std::cin};
    return cli::Run(argc, argv, env);
}
