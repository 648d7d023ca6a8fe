// tessaline-cli as a child process with an environment of the test's choosing, its output in files.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

class CCliProcess {
public:
    // exe: the program to run; out: folder for stdout.txt and stderr.txt.
    CCliProcess(std::filesystem::path exe, std::filesystem::path out) : m_Exe(std::move(exe)), m_Out(std::move(out)) {}
    ~CCliProcess()
    {
        if (m_Pid > 0) {
            kill(m_Pid, SIGKILL);
            waitpid(m_Pid, nullptr, 0);
        }
    }
    CCliProcess(const CCliProcess&) = delete;
    CCliProcess& operator=(const CCliProcess&) = delete;

    // The test's own tessaline-cli, beside the test program.
    static std::filesystem::path BuiltCli()
    {
        return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tessaline-cli";
    }

    // The environment of this process with these variables set (an empty value removes one).
    void SetEnv(const std::string& name, const std::string& value) { m_Env[name] = value; }

    bool Start(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv = {m_Exe.string()};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> rawArgs;
        for (std::string& a : argv)
            rawArgs.push_back(a.data());
        rawArgs.push_back(nullptr);

        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (!m_Env.count(entry.substr(0, entry.find('='))))
                env.push_back(entry);
        }
        for (const auto& [name, value] : m_Env)
            if (!value.empty())
                env.push_back(name + "=" + value);
        std::vector<char*> rawEnv;
        for (std::string& e : env)
            rawEnv.push_back(e.data());
        rawEnv.push_back(nullptr);

        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 1, (m_Out / "stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, (m_Out / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const bool started = posix_spawn(&m_Pid, rawArgs[0], &files, nullptr, rawArgs.data(), rawEnv.data()) == 0;
        posix_spawn_file_actions_destroy(&files);
        if (!started)
            m_Pid = -1;
        return started;
    }

    // Waits until cond holds or the process ended, bounded by real time against a hung child.
    bool WaitFor(const std::function<bool()>& cond, std::chrono::seconds fuse = std::chrono::seconds(60))
    {
        const auto end = std::chrono::steady_clock::now() + fuse;
        while (!cond()) {
            if (m_Pid > 0 && waitpid(m_Pid, &m_nStatus, WNOHANG) == m_Pid) {
                m_Pid = -1;
                return cond();
            }
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::yield();
        }
        return true;
    }

    // The exit status; -1 when it was killed by a signal or had to be killed after the fuse.
    int Finish(std::chrono::seconds fuse = std::chrono::seconds(60))
    {
        WaitFor([this] { return m_Pid <= 0; }, fuse);
        if (m_Pid > 0) {
            kill(m_Pid, SIGKILL);
            waitpid(m_Pid, &m_nStatus, 0);
            m_Pid = -1;
            return -1;
        }
        return WIFEXITED(m_nStatus) ? WEXITSTATUS(m_nStatus) : -1;
    }

    void Signal(int sig) const
    {
        if (m_Pid > 0)
            kill(m_Pid, sig);
    }
    pid_t Pid() const { return m_Pid; }

    std::string Out() const { return Read(m_Out / "stdout.txt"); }
    std::string Err() const { return Read(m_Out / "stderr.txt"); }

    static std::string Read(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_Exe;
    std::filesystem::path m_Out;
    std::map<std::string, std::string> m_Env;
    pid_t m_Pid = -1;
    int m_nStatus = 0;
};
