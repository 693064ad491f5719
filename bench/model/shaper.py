"""A loopback TCP proxy that gives the connections through it the behaviour of a line: a round
trip, a downstream and an upstream bandwidth, and TCP's slow start.

Each route listens on its own loopback address (one per host name of the page set) and forwards
to a plain origin server. With a line set:

- Name lookup and handshake. The kernel completes the real handshake at once on loopback, so a
  new connection's first bytes are held: one round trip for the TCP handshake, after one more
  for the host's name lookup when it is the host's first connection (connections opened while
  that lookup runs wait for it, later ones do not). TLS needs nothing of its own: its messages
  cross the proxy and so pay their round trip like any other bytes.
- Upstream. The client's bytes leave through one upstream link shared by all connections (a
  serialisation clock at the upstream bandwidth) and reach the origin half a round trip later.
- Downstream. The origin's bytes reach the client's end of the line half a round trip after
  the origin wrote them, then cross one downstream link shared by all connections, segment by
  segment in turn among the connections that may send (an equal share each). Each connection
  sends in rounds of its congestion window: 10 segments of 1460 bytes at first; a round may
  begin a round trip after the one before began, and the window grows by the bytes the round
  before carried (a full round doubles it) up to the larger of that and the line's
  bandwidth-delay product. The window is kept across an idle gap and the connection's next
  response; a round that its response ended early carries on with that response's successor
  until a round trip has passed.

Without a line the proxy passes the bytes on as they come. The link runs on a virtual clock:
bytes are written when their serialisation ends, and a late wake-up of the event loop delays
a write but never the bytes after it, so the rate holds whatever the machine's load.
"""

import asyncio
import collections
import socket
import threading
import time

SEGMENT = 1460
INITIAL_WINDOW = 10 * SEGMENT


class Line:
    def __init__(self, name, down_bps, up_bps, rtt_ms):
        self.name = name
        self.down = down_bps / 8.0 / 1000.0  # bytes per millisecond
        self.up = up_bps / 8.0 / 1000.0
        self.rtt = float(rtt_ms)
        self.largest_window = max(INITIAL_WINDOW, self.down * self.rtt)


def now_ms():
    return time.monotonic() * 1000.0


class _Connection:
    def __init__(self, writer):
        self.writer = writer
        self.pending = collections.deque()  # (eligible ms, bytes)
        self.eof = False  # the origin has closed: close the client once the bytes are out
        self.closed = False
        self.window = INITIAL_WINDOW
        self.round_start = None  # no round yet
        self.round_sent = 0
        self.budget = 0

    def ready_at(self, t, line):
        """The earliest moment at or after t that this connection may put a segment on the
        line, or None when it has nothing to send."""
        if not self.pending:
            return None
        head = max(t, self.pending[0][0])
        if self.round_start is not None and self.budget > 0 and head < self.round_start + line.rtt:
            return head  # the open round carries on
        if self.round_start is None:
            return head
        return max(head, self.round_start + line.rtt)  # a new round

    def take(self, t, line):
        """A segment sent at t: opens a new round when the open one cannot carry it."""
        if self.round_start is None or self.budget <= 0 or t >= self.round_start + line.rtt:
            if self.round_start is not None:
                self.window = min(line.largest_window, self.window + self.round_sent)
            self.round_start = t
            self.round_sent = 0
            self.budget = self.window
        eligible, data = self.pending[0]
        n = int(min(SEGMENT, self.budget, len(data)))
        n = max(n, 1)
        if n >= len(data):
            self.pending.popleft()
        else:
            self.pending[0] = (eligible, data[n:])
            data = data[:n]
        self.budget -= n
        self.round_sent += n
        return data


class Shaper:
    """routes: (listen address, origin (host, port)). listen() then returns the port, the same
    on every listen address."""

    def __init__(self, routes):
        self.routes = routes
        self.line = None
        self.loop = asyncio.new_event_loop()
        self._thread = threading.Thread(target=self.loop.run_forever, daemon=True)
        self._thread.start()
        self.port = self._call(self._listen())

    def _call(self, coroutine):
        return asyncio.run_coroutine_threadsafe(coroutine, self.loop).result()

    async def _listen(self):
        self._servers = []
        self._wake = asyncio.Event()
        self._reset()
        for attempt in range(50):
            servers = []
            port = 0
            try:
                for address, origin in self.routes:
                    server = await asyncio.start_server(
                        lambda r, w, a=address, o=origin: self._serve(r, w, a, o), address, port)
                    port = server.sockets[0].getsockname()[1]
                    servers.append(server)
            except OSError:
                for s in servers:
                    s.close()
                continue
            self._servers = servers
            self._link_task = self.loop.create_task(self._link())
            return port
        raise RuntimeError("no port free on every listen address")

    def _reset(self):
        self._lookups = {}  # listen address -> ms its name is known
        self._up_clock = 0.0
        self._down_clock = 0.0
        self._connections = []
        self._turn = 0

    def set_line(self, line):
        """Sets the line for the connections opened from now on (None: pass through) and
        forgets the name lookups, as a fresh browser would."""
        async def apply():
            self.line = line
            self._reset()
        self._call(apply())

    def close(self):
        async def stop():
            for s in self._servers:
                s.close()
            self._link_task.cancel()
        self._call(stop())
        self.loop.call_soon_threadsafe(self.loop.stop)
        self._thread.join(timeout=5)

    # ---- one connection ----------------------------------------------------------------

    async def _serve(self, client_reader, client_writer, address, origin):
        line = self.line
        accepted = now_ms()
        try:
            origin_reader, origin_writer = await asyncio.open_connection(*origin)
        except OSError:
            client_writer.close()
            return
        for writer in (client_writer, origin_writer):
            sock = writer.get_extra_info("socket")
            if sock is not None:
                sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        if line is None:
            await asyncio.gather(self._pipe(client_reader, origin_writer),
                                 self._pipe(origin_reader, client_writer),
                                 return_exceptions=True)
            return
        lookup = self._lookups.get(address)
        if lookup is None:
            lookup = self._lookups[address] = accepted + line.rtt
        connected = max(accepted, lookup) + line.rtt
        connection = _Connection(client_writer)
        self._connections.append(connection)
        await asyncio.gather(self._upstream(client_reader, origin_writer, connected, line),
                             self._downstream(origin_reader, connection, line),
                             return_exceptions=True)

    async def _pipe(self, reader, writer):
        try:
            while data := await reader.read(65536):
                writer.write(data)
                await writer.drain()
        finally:
            writer.close()

    async def _upstream(self, reader, writer, connected, line):
        queue = asyncio.Queue()

        async def deliver():
            while (item := await queue.get()) is not None:
                at, data = item
                delay = at - now_ms()
                if delay > 0:
                    await asyncio.sleep(delay / 1000.0)
                writer.write(data)
            writer.close()

        task = self.loop.create_task(deliver())
        try:
            while data := await reader.read(65536):
                if line is not self.line:
                    break  # a later load's line: this connection's browser is gone
                start = max(self._up_clock, now_ms(), connected)
                self._up_clock = start + len(data) / line.up
                queue.put_nowait((self._up_clock + line.rtt / 2, data))
        finally:
            queue.put_nowait(None)
            await task

    async def _downstream(self, reader, connection, line):
        try:
            while data := await reader.read(65536):
                connection.pending.append((now_ms() + line.rtt / 2, data))
                self._wake.set()
        finally:
            connection.eof = True
            self._wake.set()

    # ---- the downstream link -------------------------------------------------------------

    async def _link(self):
        while True:
            line = self.line
            if line is None:
                self._wake.clear()
                await self._wake.wait()
                continue
            # Close the connections whose origin ended and whose bytes are all out.
            for c in self._connections:
                if c.eof and not c.pending and not c.closed:
                    c.closed = True
                    c.writer.close()
            self._connections = [c for c in self._connections if not c.closed]
            # The next segment: the earliest moment any connection may send, in turn among
            # those that may send then.
            t = self._down_clock
            best, best_at = None, None
            count = len(self._connections)
            for k in range(count):
                c = self._connections[(self._turn + k) % count]
                at = c.ready_at(t, line)
                if at is not None and (best_at is None or at < best_at - 1e-9):
                    best, best_at = c, at
            if best is None:
                self._wake.clear()
                await self._wake.wait()
                continue
            wait = best_at - now_ms()
            if wait > 0:
                # Nothing may go before best_at; new bytes may arrive meanwhile.
                self._wake.clear()
                try:
                    await asyncio.wait_for(self._wake.wait(), wait / 1000.0)
                except asyncio.TimeoutError:
                    pass
                if now_ms() < best_at:
                    continue  # woken by new bytes: choose again
            if line is not self.line or best not in self._connections:
                continue  # the line changed while waiting: the connections are gone
            data = best.take(best_at, line)
            self._down_clock = best_at + len(data) / line.down
            self._turn = (self._connections.index(best) + 1) % len(self._connections)
            late = self._down_clock - now_ms()
            if late > 0:
                await asyncio.sleep(late / 1000.0)
            if line is self.line and not best.writer.is_closing():
                best.writer.write(data)
