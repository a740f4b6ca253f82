#pragma once

#include <string>

#include "crypto/KeyDerivation.h"
#include "file/CostApproval.h"

namespace kavelmark
{

// The question before a costly key derivation, with the memory and a rough time to expect.
std::string CostQuestionText(const Argon2idCost& cost);

// While it lives, a derivation above the ceiling runs only after the user agreed. Its caller spends
// at most one derivation on a version of a file: after the question no other password is tried.
class CostQuestion
{
public:
    CostQuestion();
    ~CostQuestion();
    CostQuestion(const CostQuestion&) = delete;
    CostQuestion& operator=(const CostQuestion&) = delete;

    // The question was put; whether the user agreed.
    bool Asked() const
    {
        return asked_;
    }
    bool Agreed() const
    {
        return agreed_;
    }

private:
    bool Approve(const Argon2idCost& cost);

    CostApprover previous_;
    bool asked_ = false;
    bool agreed_ = false;
};

} // namespace kavelmark
