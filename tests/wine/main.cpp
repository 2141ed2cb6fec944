// Entry point of the Wine test program: the application object the framework needs (its
// registry key is a test key of its own), then every test.
#include "framework/win_app.h"

#include <gtest/gtest.h>

namespace {
class WineTestApp : public CWinApp {
public:
    WineTestApp() : CWinApp("TarnwellWineTests") {}
};
WineTestApp theTestApp;
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
