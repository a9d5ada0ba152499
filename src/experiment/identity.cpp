#include "experiment/identity.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "io/output.h"
#include "run/run.h"

static const char IDENTITY_START[] = "vantu-sweep ";
constexpr size_t IDENTITY_MAX = 256;

static std::string designField(uint64_t designHash) {
    char text[32];
    std::snprintf(text, sizeof text, " design %016" PRIx64 " ", designHash);
    return text;
}

std::string sweepIdentity(uint64_t designHash, uint64_t ticks) {
    return IDENTITY_START + std::string(VANTU_VERSION) + designField(designHash) + "ticks " +
           (ticks == ALL_TICKS ? std::string("all") : std::to_string(ticks)) + "\n";
}

std::string seriesIdentity(uint64_t designHash, uint64_t ticks, uint64_t every) {
    const std::string identity = sweepIdentity(designHash, ticks);
    return identity.substr(0, identity.size() - 1) + " series every " + std::to_string(every) +
           "\n";
}

std::string identityPath(const std::string& resultsPath) {
    return resultsPath + ".vantu";
}

IdentityRead readIdentity(const std::string& resultsPath, std::string* identity,
                          std::string* error) {
    const std::string path = identityPath(resultsPath);
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        if (errno == ENOENT) {
            return IdentityRead::Missing;
        }
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return IdentityRead::Fault;
    }
    char text[IDENTITY_MAX];
    const size_t got = std::fread(text, 1, sizeof text, file);
    const bool failed = std::ferror(file);
    const int reason = errno;
    std::fclose(file);
    identity->assign(text, got);
    if (failed) {
        *error = "cannot read " + path + ": " + std::strerror(reason);
        return IdentityRead::Fault;
    }
    if (identity->rfind(IDENTITY_START, 0) != 0 || identity->find('\n') != got - 1) {
        *error = path + " is not a vantu-sweep identity (one line: " + IDENTITY_START +
                 "VERSION design HASH ticks T)";
        return IdentityRead::Fault;
    }
    return IdentityRead::Found;
}

bool writeIdentity(const std::string& resultsPath, const std::string& identity,
                   std::string* error) {
    Output output;
    if (!openOutput(identityPath(resultsPath).c_str(), &output, error)) {
        return false;
    }
    std::fputs(identity.c_str(), output.file);
    return commitOutput(&output, error);
}

bool identityHasDesign(const std::string& identity, uint64_t designHash) {
    return identity.find(designField(designHash)) != std::string::npos;
}

std::string anotherSweep(const std::string& path, const std::string& has, const std::string& wanted,
                         const char* label) {
    return path + " holds results of another sweep (another design, ticks or program version):" +
           "\n  it has:    " + has.substr(0, has.find('\n')) + "\n  " + label + "  " +
           wanted.substr(0, wanted.find('\n'));
}
