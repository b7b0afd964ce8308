#ifndef MV_SCRATCH_FOLDER_H
#define MV_SCRATCH_FOLDER_H

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

// A fresh folder under the system's temporary folder for one test, removed with its
// contents when the object goes. A folder that cannot be made is a test failure, and
// Path() is then empty.
class MvScratchFolder {
public:
    MvScratchFolder()
    {
        const std::string pattern = (std::filesystem::temp_directory_path() / "movo-test-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()) != nullptr)
            path_ = name.data();
        else
            ADD_FAILURE() << "cannot make a scratch folder from " << pattern;
    }
    ~MvScratchFolder()
    {
        if (path_.empty())
            return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    MvScratchFolder(const MvScratchFolder&) = delete;
    MvScratchFolder& operator=(const MvScratchFolder&) = delete;

    // The path of name inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

#endif
