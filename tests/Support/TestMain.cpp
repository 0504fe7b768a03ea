#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>

// Every test runs headless, in UTC and the C locale, unless the caller chose otherwise.
int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("TZ", "UTC", 0);
    tzset();
    std::setlocale(LC_ALL, "C");
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
