#!/usr/bin/env python3
# Writes the fuzzer's seed corpus (tests/fuzz/corpus/) in the byte format that
# input_driver.h describes: one seed per kind of input, from the states that matter.
import os
import struct

INT_MIN, INT_MAX = -2**31, 2**31 - 1
FRESH, NEAR_END_OF_WARM_UP, WARM, PRODUCT_LIMIT, COUNT_LIMIT = range(5)
LEFT, UP, RIGHT, DOWN = range(4)


def i32(v):
    return struct.pack('<i', v)


def start(state, presses=0):
    return bytes([state]) + i32(presses)


def key(k, x=0, y=0):
    return bytes([0, k]) + i32(x) + i32(y)


def special(k, x=0, y=0):
    return bytes([1]) + i32(k) + i32(x) + i32(y)


def mouse(button, state, x, y):
    return bytes([2]) + i32(button) + i32(state) + i32(x) + i32(y)


def motion(x, y):
    return bytes([3]) + i32(x) + i32(y)


def reshape(w, h):
    return bytes([4]) + i32(w) + i32(h)


def loop(turns):  # turns of GLUT's loop, 1 to 64 an event
    out = b''
    while turns > 0:
        n = min(turns, 64)
        out += bytes([5, n - 1])
        turns -= n
    return out


def steps(count):
    out = b''
    while count > 0:
        n = min(count, 64)
        out += bytes([6, n - 1])
        count -= n
    return out


def display():
    return bytes([7])


def held(arrow, presses):
    return bytes([8, arrow]) + struct.pack('<H', presses)


seeds = {
    'end-of-warm-up-through-the-loop': start(NEAR_END_OF_WARM_UP) + loop(20) + key(ord(' ')) + loop(5) + key(ord(' ')) + loop(5),
    'pause-in-warm-up': start(FRESH) + loop(30) + key(ord(' ')) + loop(50) + display() + key(ord(' ')) + loop(50),
    'drag-across-the-int-range': start(WARM) + mouse(0, 0, INT_MIN, INT_MAX) + motion(INT_MAX, INT_MIN)
        + motion(INT_MIN, INT_MAX) + mouse(2, 0, 5, 5) + motion(0, 0) + mouse(0, 1, 0, 0) + motion(9, 9)
        + mouse(INT_MAX, INT_MIN, 1, 1) + mouse(0, 7, 3, 3) + motion(-1, -1) + loop(3),
    'zoom-to-both-guards': start(WARM) + held(UP, 65535) + display() + held(DOWN, 65535) + held(DOWN, 65535)
        + display() + held(UP, 3) + loop(3),
    'largest-time-step': start(WARM, 32767500) + loop(40) + held(RIGHT, 1000) + steps(100),
    'most-negative-time-step': start(NEAR_END_OF_WARM_UP, -32768500) + steps(100) + display() + held(LEFT, 500) + loop(20),
    'time-step-through-zero': start(WARM) + held(LEFT, 501) + loop(10) + held(RIGHT, 2) + loop(10),
    'reshape-extremes': start(WARM) + reshape(0, 0) + display() + reshape(-5, -7) + display()
        + reshape(INT_MAX, 1) + reshape(1, INT_MAX) + reshape(INT_MIN, INT_MIN) + reshape(640, 0) + display()
        + reshape(480, 240) + loop(2),
    'past-the-product-limit': start(PRODUCT_LIMIT) + steps(100) + display() + loop(10),
    'up-to-the-step-budget-near-2-63': start(COUNT_LIMIT) + steps(200) + display() + loop(56),
    'every-key-code': start(WARM) + b''.join(key(k, k * 1000003 - 5, -k) + loop(1) for k in range(256)) + loop(3),
    'escape-while-paused-then-again': start(WARM) + key(ord(' ')) + loop(2) + key(27) + loop(3) + key(27, INT_MIN, INT_MAX),
    'every-special-code': start(WARM) + b''.join(special(k) for k in range(256))
        + special(INT_MIN) + special(INT_MAX) + special(-1) + loop(2),
}

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'corpus')
os.makedirs(here, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(here, name), 'wb') as f:
        f.write(data)
