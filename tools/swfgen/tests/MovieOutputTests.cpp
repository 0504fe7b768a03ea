// The committed title movies against a fresh run of swfgen over tools/swfgen/movies.list.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

struct ListedMovie
{
    std::string name;
    std::vector<std::string> args;
};

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<ListedMovie> ReadMovieList(const fs::path& path)
{
    std::vector<ListedMovie> movies;
    std::istringstream lines(ReadBytes(path));
    for (std::string line; std::getline(lines, line);)
    {
        std::istringstream words(line);
        ListedMovie movie;
        if (!(words >> movie.name) || movie.name[0] == '#')
            continue;
        for (std::string word; words >> word;)
            movie.args.push_back(word);
        movies.push_back(std::move(movie));
    }
    return movies;
}

std::string Quote(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

int RunSwfGen(const std::vector<std::string>& args, const fs::path& log)
{
    std::string command = Quote(SWFGEN_EXE);
    for (const std::string& arg : args)
        command += ' ' + Quote(arg);
    command += " >" + Quote(log.string()) + " 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "swfgen-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

} // namespace

TEST(SwfGenOutput, RegeneratedMoviesMatchTheCommittedBytes)
{
    const fs::path data = SWFGEN_DATA_DIR;
    const std::vector<ListedMovie> listed = ReadMovieList(SWFGEN_LIST);
    ASSERT_EQ(listed.size(), 6u);
    TempFolder temp;
    std::set<std::string> expectedFiles;
    for (const ListedMovie& movie : listed)
    {
        SCOPED_TRACE(movie.name);
        const std::string file = movie.name + ".swf";
        std::vector<std::string> args{(temp.Path() / file).string()};
        args.insert(args.end(), movie.args.begin(), movie.args.end());
        ASSERT_EQ(RunSwfGen(args, temp.Path() / "log"), 0) << ReadBytes(temp.Path() / "log");
        const std::string committed = ReadBytes(data / file);
        ASSERT_FALSE(committed.empty()) << file << " is missing or empty";
        EXPECT_TRUE(ReadBytes(temp.Path() / file) == committed)
            << file << " differs from a fresh run; regenerate with tools/swfgen/make-movies";
        expectedFiles.insert(file);
    }
    // Nothing in the folder that the list does not make, so no stale movie lingers.
    std::set<std::string> present;
    for (const fs::directory_entry& entry : fs::directory_iterator(data))
        present.insert(entry.path().filename().string());
    EXPECT_EQ(present, expectedFiles);
}
