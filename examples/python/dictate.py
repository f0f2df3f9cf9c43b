"""A host of pilto-listen on asyncio: prints what it hears and stops when Enter is pressed."""

import asyncio
import json
import os
import sys


async def enter_pressed():
    keyboard = asyncio.StreamReader()
    await asyncio.get_running_loop().connect_read_pipe(
        lambda: asyncio.StreamReaderProtocol(keyboard), sys.stdin)
    await keyboard.readline()


async def stop_when_done(listener):
    await enter_pressed()
    try:
        listener.stdin.write(b"stop\n")
        await listener.stdin.drain()
        listener.stdin.close()
    except ConnectionError:
        pass  # it has already ended


async def dictate():
    listener = await asyncio.create_subprocess_exec(
        os.environ.get("PILTO_LISTEN", "pilto-listen"), stdin=asyncio.subprocess.PIPE,
        stdout=asyncio.subprocess.PIPE, stderr=asyncio.subprocess.DEVNULL)
    stopping = asyncio.create_task(stop_when_done(listener))
    async for line in listener.stdout:
        event = json.loads(line)
        if event.get("listening"):
            print("Listening. Press Enter when you are done.", flush=True)
        elif "text" in event:
            print(f"{'Final' if event['final'] else 'So far'}: {event['text']}", flush=True)
        elif "error" in event:
            print(f"Error: {event['error']}", flush=True)
    status = await listener.wait()
    stopping.cancel()
    print(f"pilto-listen exited with {status}", flush=True)
    return status


if __name__ == "__main__":
    sys.exit(asyncio.run(dictate()))
