#ifndef MV_WORKING_FOLDER_H
#define MV_WORKING_FOLDER_H

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

// Remembers the process's working folder and goes back to it when it ends, so a test can
// run game code from the folder the program would run in (or from one without its files).
class MvWorkingFolder {
public:
    MvWorkingFolder()
    {
        char* here = getcwd(nullptr, 0);
        EXPECT_NE(here, nullptr);
        if (here) {
            start_ = here;
            std::free(here);
        }
    }
    ~MvWorkingFolder()
    {
        if (!start_.empty()) {
            EXPECT_EQ(chdir(start_.c_str()), 0) << start_;
        }
    }

    MvWorkingFolder(const MvWorkingFolder&) = delete;
    MvWorkingFolder& operator=(const MvWorkingFolder&) = delete;

    // Makes folder the working folder.
    static void Enter(const std::string& folder) { ASSERT_EQ(chdir(folder.c_str()), 0) << folder; }

private:
    std::string start_;
};

#endif
