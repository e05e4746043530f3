// Piece logic, animations and the piece record.
#include "game/Quorb.h"
#include "app/IOBuffer.h"
#include "game/Board.h"

Quorb::Quorb(Board* board) : board(board)
{
    // unbuilt
}

Quorb::~Quorb()
{
    // unbuilt
}

void Quorb::Update()
{
    // unbuilt
}

void Quorb::RandomizeKind()
{
    // unbuilt
}

bool Quorb::Contains(float /*x*/, float /*y*/) const
{
    // unbuilt
    return {};
}

bool Quorb::IsMatchable() const
{
    // unbuilt
    return {};
}

bool Quorb::CanMove() const
{
    // unbuilt
    return {};
}

bool Quorb::IsSameKind(const Quorb* /*other*/) const
{
    // unbuilt
    return {};
}

void Quorb::MoveBy(float /*dx*/, float /*dy*/)
{
    // unbuilt
}

void Quorb::StartFall()
{
    // unbuilt
}

void Quorb::Pop()
{
    // unbuilt
}

void Quorb::MakeSuper()
{
    // unbuilt
}

void Quorb::Hit(int /*damage*/)
{
    // unbuilt
}

void Quorb::StartChange(int /*delay*/)
{
    // unbuilt
}

void Quorb::StartFlyIn()
{
    // unbuilt
}

void Quorb::Shatter()
{
    // unbuilt
}

void Quorb::ExplosionHit()
{
    // unbuilt
}

void Quorb::Save(IOBuffer& /*buffer*/)
{
    // unbuilt
}

void Quorb::Load(IOBuffer& /*buffer*/)
{
    // unbuilt
}
