// Drives kringbaas_live_fixture (the main window with its round shared) line by line, for the
// browser test and the load benchmark.
'use strict';
const childProcess = require('child_process');
const readline = require('readline');

// Starts the program in folder and waits until it shares: { child, port, nextLine, command, end }.
// stderr: 'inherit' to see what it says, 'ignore' to keep it quiet.
async function startProgram(fixture, folder, stderr) {
  const child = childProcess.spawn(fixture, [folder], { stdio: ['pipe', 'pipe', stderr] });
  const exited = new Promise((resolve) => child.on('exit', resolve));
  const lines = readline.createInterface({ input: child.stdout });
  const waiting = [];
  lines.on('line', (line) => { const next = waiting.shift(); if (next) next(line); });
  const nextLine = () => new Promise((resolve) => waiting.push(resolve));
  const first = await nextLine();
  const port = /^port (\d+)$/.exec(first);
  if (!port) throw new Error(`the program did not share: ${first}`);
  return {
    child,
    port: Number(port[1]),
    nextLine,
    // Sends a command and returns the program's answer ("ok ...").
    command(text) { child.stdin.write(text + '\n'); return nextLine(); },
    // Quits the program, if it still runs, and waits until it has ended: it stores the round
    // as it closes.
    async end() {
      if (child.exitCode === null && child.signalCode === null) {
        const timer = setTimeout(() => child.kill(), 5000);
        if (!child.stdin.writableEnded) child.stdin.end('quit\n');
        await exited;
        clearTimeout(timer);
      }
    },
  };
}

module.exports = { startProgram };
