// A host of pilto-listen in Node.js: prints what it hears and stops when Enter is pressed, by
// writing "stop" to the program, or with --kill by child.kill() (SIGTERM), which does the same.
const { spawn } = require("node:child_process");
const readline = require("node:readline");

const stopByKill = process.argv.includes("--kill");
const listener = spawn(process.env.PILTO_LISTEN || "pilto-listen", [], {
  stdio: ["pipe", "pipe", "ignore"],
});

readline.createInterface({ input: listener.stdout }).on("line", (line) => {
  const event = JSON.parse(line);
  if (event.listening) {
    console.log("Listening. Press Enter when you are done.");
  } else if ("text" in event) {
    console.log(`${event.final ? "Final" : "So far"}: ${event.text}`);
  } else if ("error" in event) {
    console.log(`Error: ${event.error}`);
  }
});

const keyboard = readline.createInterface({ input: process.stdin });
keyboard.once("line", () => {
  if (stopByKill) {
    listener.kill();
  } else {
    listener.stdin.end("stop\n");
  }
});

listener.on("error", (error) => {
  console.log(`Could not start pilto-listen: ${error.message}`);
  process.exit(1);
});

// "close" comes after the last line has been read, unlike "exit".
listener.on("close", (status, signal) => {
  console.log(`pilto-listen exited with ${signal ?? status}`);
  keyboard.close();
  process.exitCode = status ?? 1;
});
