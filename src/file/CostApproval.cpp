#include "file/CostApproval.h"

#include <cstdint>
#include <utility>

#include "file/SaveFormat.h"

namespace kavelmark
{
namespace
{

CostApprover& Approver()
{
    static CostApprover approver;
    return approver;
}

} // namespace

bool V04CostAboveCeiling(const Argon2idCost& cost, const Argon2idCost& written)
{
    const std::uint64_t memory = cost.memoryKiB;
    const std::uint64_t writtenMemory = written.memoryKiB;
    return memory > kV04CostCeilingFactor * writtenMemory ||
           memory * cost.passes > kV04CostCeilingFactor * writtenMemory * written.passes;
}

CostApprover SetCostApprover(CostApprover approver)
{
    CostApprover previous = std::move(Approver());
    Approver() = std::move(approver);
    return previous;
}

bool MayDerive(const Argon2idCost& cost)
{
    return !Approver() || !V04CostAboveCeiling(cost, V04WriteCost()) || Approver()(cost);
}

} // namespace kavelmark
