#pragma once

#include <string>

namespace ostrel {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes out of scope. Tests never write into the working directory.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::string& Path() const { return FPath; }
    // Writes `bytes` to a file of that name in the folder and returns its full path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    std::string File(const std::string& name) const { return FPath + "/" + name; }

private:
    std::string FPath;
};

}  // namespace ostrel
