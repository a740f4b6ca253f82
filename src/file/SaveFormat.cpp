#include "file/SaveFormat.h"

#include "file/PasswordFile.h"

namespace kavelmark
{
namespace
{

FileFormat& CurrentFormat()
{
    static FileFormat format = FileFormat::V03;
    return format;
}

Argon2idCost& CurrentCost()
{
    static Argon2idCost cost = PasswordFile::kV04WriteCost;
    return cost;
}

} // namespace

FileFormat MainFileFormat()
{
    return CurrentFormat();
}

void SetMainFileFormat(FileFormat format)
{
    CurrentFormat() = format;
}

Argon2idCost SetV04WriteCost(const Argon2idCost& cost)
{
    const Argon2idCost previous = CurrentCost();
    CurrentCost() = cost;
    return previous;
}

Argon2idCost V04WriteCost()
{
    return CurrentCost();
}

} // namespace kavelmark
