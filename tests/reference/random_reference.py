#!/usr/bin/env python3
"""Pinned uniform draws for tests/companion/KQRandomValues_test.cpp.

An independent implementation of the 64-bit Mersenne Twister (Matsumoto and Nishimura's mt19937-64,
the parameters of C++'s std::mt19937_64; checked against the standard's required 10000th output for
the default seed 5489), followed by the uniform transform on [lo, hi): u = x / 2^64 * (hi - lo) + lo
with x the engine output rounded to a double, a draw equal to hi being refused.
Run: python3 tests/reference/random_reference.py
"""
MASK = (1 << 64) - 1


class MT19937_64:
    N, M = 312, 156
    UPPER, LOWER = MASK & ~((1 << 31) - 1), (1 << 31) - 1

    def __init__(self, seed):
        self.state = [seed & MASK]
        for i in range(1, self.N):
            prev = self.state[-1]
            self.state.append((6364136223846793005 * (prev ^ (prev >> 62)) + i) & MASK)
        self.index = self.N

    def twist(self):
        s = self.state
        for i in range(self.N):
            y = (s[i] & self.UPPER) | (s[(i + 1) % self.N] & self.LOWER)
            s[i] = s[(i + self.M) % self.N] ^ (y >> 1) ^ (0xB5026F5AA96619E9 if y & 1 else 0)
        self.index = 0

    def next(self):
        if self.index >= self.N:
            self.twist()
        y = self.state[self.index]
        self.index += 1
        y ^= (y >> 29) & 0x5555555555555555
        y ^= (y << 17) & 0x71D67FFFEDA60000
        y ^= (y << 37) & 0xFFF7EEE000000000
        y ^= y >> 43
        return y


def uniform(engine, lo, hi):
    while True:
        u = float(engine.next()) / 2.0 ** 64 * (hi - lo) + lo
        if u < hi:
            return u


def main():
    check = MT19937_64(5489)
    for _ in range(9999):
        check.next()
    assert check.next() == 9981545732273789042
    for seed, lo, hi in ((2000000, 0.0, 1.0), (7, -1.0, 1.0)):
        engine = MT19937_64(seed)
        print(f"seed {seed}, [{lo}, {hi}):", ", ".join(repr(uniform(engine, lo, hi)) for _ in range(5)))


if __name__ == "__main__":
    main()
