#!/usr/bin/env python3
"""Drops files onto an X window the way a file manager does (the XDND protocol), so
that a program running under Wine gets them as a real drop.

    xdnd_drop.py <x window id> <x> <y> <file>...

x, y: the point of the drop in the window's own coordinates. Prints "accepted" or
"refused" after the target's status, then "finished" when the target says it is done.
Exit status 0 only when the drop was accepted and finished.
Only the X library is needed (through ctypes), nothing beyond the standard library.
"""
import ctypes
import sys
import time
import urllib.parse
from ctypes import POINTER, byref, c_char_p, c_int, c_long, c_ubyte, c_uint, c_ulong, c_void_p

X = ctypes.CDLL('libX11.so.6')
X.XOpenDisplay.restype = c_void_p
X.XOpenDisplay.argtypes = [c_char_p]
X.XDefaultRootWindow.restype = c_ulong
X.XDefaultRootWindow.argtypes = [c_void_p]
X.XInternAtom.restype = c_ulong
X.XInternAtom.argtypes = [c_void_p, c_char_p, c_int]
X.XCreateSimpleWindow.restype = c_ulong
X.XCreateSimpleWindow.argtypes = [c_void_p, c_ulong, c_int, c_int, c_uint, c_uint, c_uint,
                                  c_ulong, c_ulong]
X.XSetSelectionOwner.argtypes = [c_void_p, c_ulong, c_ulong, c_ulong]
X.XGetSelectionOwner.restype = c_ulong
X.XGetSelectionOwner.argtypes = [c_void_p, c_ulong]
X.XSendEvent.argtypes = [c_void_p, c_ulong, c_int, c_long, c_void_p]
X.XFlush.argtypes = [c_void_p]
X.XPending.argtypes = [c_void_p]
X.XNextEvent.argtypes = [c_void_p, c_void_p]
X.XChangeProperty.argtypes = [c_void_p, c_ulong, c_ulong, c_ulong, c_int, c_int,
                              POINTER(c_ubyte), c_int]
X.XTranslateCoordinates.argtypes = [c_void_p, c_ulong, c_ulong, c_int, c_int,
                                    POINTER(c_int), POINTER(c_int), POINTER(c_ulong)]
X.XGetWindowProperty.argtypes = [c_void_p, c_ulong, c_ulong, c_long, c_long, c_int, c_ulong,
                                 POINTER(c_ulong), POINTER(c_int), POINTER(c_ulong),
                                 POINTER(c_ulong), POINTER(c_void_p)]
X.XFree.argtypes = [c_void_p]

SELECTION_REQUEST, SELECTION_NOTIFY, CLIENT_MESSAGE = 30, 31, 33


class ClientMessage(ctypes.Structure):
    _fields_ = [('type', c_int), ('serial', c_ulong), ('send_event', c_int),
                ('display', c_void_p), ('window', c_ulong), ('message_type', c_ulong),
                ('format', c_int), ('l', c_long * 5)]


class SelectionRequest(ctypes.Structure):
    _fields_ = [('type', c_int), ('serial', c_ulong), ('send_event', c_int),
                ('display', c_void_p), ('owner', c_ulong), ('requestor', c_ulong),
                ('selection', c_ulong), ('target', c_ulong), ('property', c_ulong),
                ('time', c_ulong)]


class Selection(ctypes.Structure):
    _fields_ = [('type', c_int), ('serial', c_ulong), ('send_event', c_int),
                ('display', c_void_p), ('requestor', c_ulong), ('selection', c_ulong),
                ('target', c_ulong), ('property', c_ulong), ('time', c_ulong)]


class Event(ctypes.Union):
    _fields_ = [('type', c_int), ('xclient', ClientMessage),
                ('xselectionrequest', SelectionRequest), ('xselection', Selection),
                ('pad', c_long * 24)]


def main():
    if len(sys.argv) < 5:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    target, wx, wy = int(sys.argv[1], 0), int(sys.argv[2]), int(sys.argv[3])
    uris = ''.join('file://' + urllib.parse.quote(path) + '\r\n' for path in sys.argv[4:])
    payload = uris.encode('utf-8')

    dpy = X.XOpenDisplay(None)
    if not dpy:
        print('no display', file=sys.stderr)
        return 2
    atom = lambda name: X.XInternAtom(dpy, name.encode(), 0)
    root = X.XDefaultRootWindow(dpy)
    source = X.XCreateSimpleWindow(dpy, root, 0, 0, 1, 1, 0, 0, 0)
    selection, uri_list = atom('XdndSelection'), atom('text/uri-list')
    X.XSetSelectionOwner(dpy, selection, source, 0)

    # The target must say it speaks the protocol; the version it gives bounds ours.
    kind, fmt, count, after, data = c_ulong(), c_int(), c_ulong(), c_ulong(), c_void_p()
    X.XGetWindowProperty(dpy, target, atom('XdndAware'), 0, 1, 0, 4, byref(kind), byref(fmt),
                         byref(count), byref(after), byref(data))
    if not count.value:
        print('the window is not XdndAware', file=sys.stderr)
        return 1
    version = min(5, ctypes.cast(data, POINTER(c_ulong))[0])
    X.XFree(data)

    rx, ry, child = c_int(), c_int(), c_ulong()
    X.XTranslateCoordinates(dpy, target, root, wx, wy, byref(rx), byref(ry), byref(child))

    def send(name, l1=0, l2=0, l3=0, l4=0):
        event = Event()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.window = target
        event.xclient.message_type = atom(name)
        event.xclient.format = 32
        for i, value in enumerate((source, l1, l2, l3, l4)):
            event.xclient.l[i] = value
        X.XSendEvent(dpy, target, 0, 0, byref(event))
        X.XFlush(dpy)

    # The target asks for the data as soon as it sees the types; answer every request.
    def answer(request):
        reply = Event()
        reply.xselection.type = SELECTION_NOTIFY
        reply.xselection.requestor = request.requestor
        reply.xselection.selection = request.selection
        reply.xselection.target = request.target
        reply.xselection.time = request.time
        reply.xselection.property = 0
        if request.target == uri_list and request.property:
            buffer = (c_ubyte * len(payload)).from_buffer_copy(payload)
            X.XChangeProperty(dpy, request.requestor, request.property, uri_list, 8, 0,
                              buffer, len(payload))
            reply.xselection.property = request.property
        X.XSendEvent(dpy, request.requestor, 0, 0, byref(reply))
        X.XFlush(dpy)

    def wait_for(name, seconds):
        wanted, deadline = atom(name), time.monotonic() + seconds
        while time.monotonic() < deadline:
            while X.XPending(dpy):
                event = Event()
                X.XNextEvent(dpy, byref(event))
                if event.type == SELECTION_REQUEST:
                    answer(event.xselectionrequest)
                elif event.type == CLIENT_MESSAGE and event.xclient.message_type == wanted:
                    return event.xclient
            time.sleep(0.005)
        return None

    send('XdndEnter', version << 24, uri_list)
    send('XdndPosition', 0, (rx.value << 16) | ry.value, 0, atom('XdndActionCopy'))
    status = wait_for('XdndStatus', 10)
    accepted = bool(status and status.l[1] & 1)
    print('accepted' if accepted else 'refused', flush=True)
    if not accepted:
        send('XdndLeave')
        return 1
    send('XdndDrop', 0, 0)
    finished = wait_for('XdndFinished', 10)
    if finished:
        print('finished', flush=True)
    return 0 if finished else 1


if __name__ == '__main__':
    sys.exit(main())
