#include "testutil.h"

#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--peer") == 0) return peerMain(argc - 2, argv + 2);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
