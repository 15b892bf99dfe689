#pragma once

// Whether a log view keeps to the end of its text. It does from each opening until the user
// moves the scroll bar; the moves that replacing the text causes do not count.
class LogFollow
{
public:
    // Marks a replacement of the text for its lifetime.
    class Replacing
    {
    public:
        explicit Replacing(LogFollow &follow) : follow(follow) { ++follow.replacing; }
        ~Replacing() { --follow.replacing; }
        Replacing(const Replacing &) = delete;
        Replacing &operator=(const Replacing &) = delete;

    private:
        LogFollow &follow;
    };

    void restart() { following = true; }
    void scrollBarMoved()
    {
        if (replacing == 0)
            following = false;
    }
    bool follows() const { return following; }
    bool isReplacing() const { return replacing > 0; }

private:
    bool following = true;
    int replacing = 0;
};
