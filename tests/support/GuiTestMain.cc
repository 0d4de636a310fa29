// main() of GUI test programs: GTK+ once, on the display the test run made.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    gtk_set_locale();
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "GUI tests need an X display (run them through scripts/with-xvfb)\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
