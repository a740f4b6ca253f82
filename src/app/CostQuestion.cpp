#include "app/CostQuestion.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "app/AppTexts.h"
#include "platform/Messages.h"

namespace kavelmark
{
namespace
{

// A rough rate: 1 GiB at 64 passes takes 70 to 95 seconds on a common computer.
constexpr std::uint64_t kKiBPassesPerSecond = std::uint64_t{1048576} * 64 / 90;

// German digit grouping: 1.024
std::string Grouped(std::uint64_t number)
{
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
    {
        digits.insert(at - 3, ".");
    }
    return digits;
}

} // namespace

std::string CostQuestionText(const Argon2idCost& cost)
{
    const std::uint64_t mebibytes = (std::uint64_t{cost.memoryKiB} + 1023) / 1024;
    const std::uint64_t work = std::uint64_t{cost.memoryKiB} * cost.passes;
    const std::uint64_t seconds = std::max<std::uint64_t>(1, (work + kKiBPassesPerSecond / 2) / kKiBPassesPerSecond);
    return kCostlyFileTextStart + Grouped(mebibytes) + kCostlyFileTextMemory + Grouped(seconds) +
           (seconds == 1 ? kCostlyFileTextSecond : kCostlyFileTextSeconds);
}

CostQuestion::CostQuestion() : previous_(SetCostApprover([this](const Argon2idCost& cost) { return Approve(cost); }))
{
}

CostQuestion::~CostQuestion()
{
    SetCostApprover(std::move(previous_));
}

bool CostQuestion::Approve(const Argon2idCost& cost)
{
    asked_ = true;
    agreed_ = ShowMessage(CostQuestionText(cost), kCostlyFileCaption, MessageIcon::Question,
                          MessageButtons::OkCancelDefaultCancel) == MessageAnswer::Ok;
    return agreed_;
}

} // namespace kavelmark
