// The program's own transformation chains as the generator uses them: TransformPoint on the
// grids of one directory, with its diagnostics collected instead of waited on, and a failure
// turned into an exception that carries them.
#pragma once

#include "core/CorrectionGrid.h"
#include "core/CoreEnv.h"
#include "core/ErrorConsole.h"
#include "core/TransformPoint.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace velmora::demodata {

class Route {
public:
    explicit Route(const std::filesystem::path& dataDir, int tmZone = 34);
    Route(const Route&) = delete;
    Route& operator=(const Route&) = delete;

    // Out1, Out2, Out3 of TransformPoint; throws std::runtime_error with the core's diagnostic.
    ChainResult Transform(int type, int heightFlag, double P1, double P2, double P3 = 0.0);
    // The same, or std::nullopt where the chain fails.
    std::optional<ChainResult> TryTransform(int type, int heightFlag, double P1, double P2, double P3 = 0.0);

private:
    class QuietConsole : public ErrorConsole {
    public:
        void Write(std::string_view text) override { text_ += text; }
        void ReadLine() override {}
        std::string Take() { return std::exchange(text_, {}); }

    private:
        std::string text_;
    };

    QuietConsole console_;
    GridCache grids_;
    CoreEnv env_;
};

} // namespace velmora::demodata
