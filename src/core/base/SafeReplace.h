#pragma once
// The one way the program replaces a file: the new bytes go to a unique
// temporary file beside the final target (links followed, so a link stays a
// link and a dangling one is written through), and only a complete, flushed
// file is renamed over the target. Every writer uses it: documents, palettes,
// pictures and videos.
#include <string>
#include <system_error>

#include <sys/types.h>

namespace velmora {

class SafeReplace {
public:
    SafeReplace() = default;
    ~SafeReplace();  // a replacement not committed is abandoned
    SafeReplace(const SafeReplace&) = delete;
    SafeReplace& operator=(const SafeReplace&) = delete;

    // Checks the target and makes the temporary file, before anything is
    // produced: a folder, a file the user may not write or a folder where no
    // file can be made is refused here with the cause. An existing target that
    // is not a regular file (a device, a FIFO) is opened to be written in place
    // instead, as renaming over it would replace it by a plain file.
    // Leftovers of killed saves to the same target are removed first.
    bool begin(const std::string& path, std::error_code& cause);

    // Where the writer writes: the temporary file (or the target in place),
    // open for writing and, for the temporary, locked until commit or abandon.
    int fd() const { return m_fd; }
    // The temporary file's name; empty when the target is written in place.
    const std::string& tempPath() const { return m_temp; }
    const std::string& targetPath() const { return m_target; }

    // Flushes the file, gives it the old file's mode and owner, renames it
    // over the target and flushes the folder. False with the cause, and
    // nothing is left behind.
    bool commit(std::error_code& cause);
    // Removes the temporary file (closes the target written in place).
    void abandon();

private:
    bool beginInPlace(std::error_code& cause);

    int m_fd = -1;
    int m_slot = -1;  // the interrupt cleanup's entry for the temporary file
    std::string m_target;
    std::string m_temp;
    bool m_inPlace = false;
    bool m_existed = false;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    mode_t m_mode = 0;
};

// Whether name is one of target's temporary files ("NAME.<12 hex>.saving~").
bool isTemporaryNameOf(const std::string& name, const std::string& targetName);

}  // namespace velmora
