#!/usr/bin/env python3
"""A link of a set round-trip time between SMB clients and a server.

Usage: smb-relay.py SERVER PORT ADDRESS=MS [ADDRESS=MS ...]

Listens on PORT of each ADDRESS and passes every connection on to PORT of
SERVER, holding back each chunk read from either side for half of MS
milliseconds before writing it on: a request and its answer together take MS
more than without the relay, however many chunks are in flight (each is due
at the time it arrived plus the delay, so chunks that follow one another are
not held back one after the other). Prints "ready" once every address listens.
"""
import asyncio
import sys


async def carry(reader, writer, delay):
    loop = asyncio.get_running_loop()
    queue = asyncio.Queue()

    async def read():
        while True:
            data = await reader.read(65536)
            queue.put_nowait((loop.time() + delay, data))
            if not data:
                return

    async def write():
        while True:
            due, data = await queue.get()
            wait = due - loop.time()
            if wait > 0:
                await asyncio.sleep(wait)
            if not data:
                if writer.can_write_eof():
                    writer.write_eof()
                return
            writer.write(data)
            await writer.drain()

    try:
        await asyncio.gather(read(), write())
    except (ConnectionError, OSError):
        pass
    finally:
        writer.close()


def relay(server, port, delay):
    async def connected(client_reader, client_writer):
        try:
            server_reader, server_writer = await asyncio.open_connection(server, port)
        except OSError:
            client_writer.close()
            return
        await asyncio.gather(carry(client_reader, server_writer, delay),
                             carry(server_reader, client_writer, delay))
    return connected


async def main(server, port, links):
    listeners = []
    for link in links:
        address, milliseconds = link.split("=")
        # Half the round trip on the way there, half on the way back.
        delay = float(milliseconds) / 2000.0
        listeners.append(await asyncio.start_server(relay(server, port, delay), address, port))
    print("ready", flush=True)
    await asyncio.gather(*(listener.serve_forever() for listener in listeners))


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    asyncio.run(main(sys.argv[1], int(sys.argv[2]), sys.argv[3:]))
