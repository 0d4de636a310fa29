// A compiled Kestlang image, run by the real loader in this process, leaves
// the file types of its project file registered.
#include "FileTypes.h"
#include "RuntimeArguments.h"
#include "loaderX86.h"

#include <gtest/gtest.h>

#include <climits>
#include <unistd.h>

TEST(FileTypesImage, StartCodeRegistersEveryTypeOfTheProject) {
    static char name[] = "filetypes";
    char *argv[] = {name, nullptr};
    RuntimeStartUp(1, argv);
    char here[PATH_MAX];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(KQ_FILETYPES_IMAGE_MEMBERS), 0);
    EXPECT_EQ(filetypes::Count(), 0u);
    LoadAndRunImage(nullptr);
    ASSERT_EQ(chdir(here), 0);

    // The project: `filetype = text TEXT KQap`, `filetype = "Plain Picture" PICT KQap`.
    kstr::StringRef text(kstr::FromC("text")), picture(kstr::FromC("plain picture"));
    filetypes::Codes codes{};
    ASSERT_TRUE(filetypes::Find(text.Get(), &codes));
    EXPECT_EQ(codes.type, 0x54455854u);    // TEXT
    EXPECT_EQ(codes.creator, 0x4B516170u); // KQap
    ASSERT_TRUE(filetypes::Find(picture.Get(), &codes));
    EXPECT_EQ(codes.type, 0x50494354u); // PICT
    EXPECT_EQ(codes.creator, 0x4B516170u);
    EXPECT_EQ(filetypes::Count(), 2u);
}
