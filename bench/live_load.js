// The live page under load: 50 browsers follow a running round at once (each an open
// /ronde.events stream, as EventSource keeps it). Measures, on the main window shared by
// kringbaas_live_fixture:
//   - the CPU the program uses while nothing changes, with 0 and with 50 followers;
//   - how long a placed call takes to reach all 50 (median and worst of 20 calls);
//   - placing a call in the program, with 0 and with 50 followers (the action itself, and
//     publishing the change once it is done).
//   node bench/live_load.js build/tests/kringbaas_live_fixture [FOLLOWERS] [IDLE_SECONDS]
'use strict';
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { startProgram } = require('../tests/live_driver.js');

const fixture = path.resolve(process.argv[2] || 'build/tests/kringbaas_live_fixture');
const followers = Number(process.argv[3] || 50);
const idleSeconds = Number(process.argv[4] || 20);
const ticks = 100;  // clock ticks per second of /proc/<pid>/stat (USER_HZ)

function cpuSeconds(pid) {
  const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
  return (Number(fields[11]) + Number(fields[12])) / ticks;  // utime + stime
}

const median = (values) => { const s = [...values].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// One follower: the stream open, what it received kept. Each comes from an address of its own on
// the loopback network, as each viewer on the club's network does (the server takes only a few
// streams from one address).
function follow(port, index) {
  return new Promise((resolve, reject) => {
    const follower = { received: '', request: null };
    follower.request = http.get({ host: '127.0.0.1', port, localAddress: `127.0.${1 + (index >> 8)}.${index & 255 || 1}`, path: '/ronde.events', agent: false }, (response) => {
      response.setEncoding('utf8');
      response.on('data', (chunk) => { follower.received += chunk; if (follower.onData) follower.onData(); });
      resolve(follower);
    });
    follower.request.on('error', reject);
  });
}

async function measurePlacing(program, calls) {
  const action = []; const publish = [];
  for (const call of calls) {
    const [, a, p] = (await program.command(`place ${call}`)).split(' ');
    action.push(Number(a) / 1000); publish.push(Number(p) / 1000);
  }
  return { action: median(action), publish: median(publish) };
}

async function main() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'kringbaas-load-'));
  const program = await startProgram(fixture, folder, 'ignore');
  const port = program.port;
  await program.command('begin PA3ABC Henk');
  const pid = program.child.pid;

  // Nobody follows: the CPU while nothing changes, then placing calls.
  await sleep(1000);
  let before = cpuSeconds(pid);
  await sleep(idleSeconds * 1000);
  const idleAlone = cpuSeconds(pid) - before;
  const alone = await measurePlacing(program, ['PB1AA', 'PB1AB', 'PB1AC', 'PB1AD', 'PB1AE', 'PB1AF', 'PB1AG', 'PB1AH', 'PB1AI']);

  const all = await Promise.all(Array.from({ length: followers }, (_, i) => follow(port, i + 1)));
  const viewers = (await program.command('viewers')).split(' ')[1];

  await sleep(1000);
  before = cpuSeconds(pid);
  await sleep(idleSeconds * 1000);
  const idleFollowed = cpuSeconds(pid) - before;

  // A change reaches every follower: from the command sent to the last follower's event. The
  // sheet holds 30 rows: the controller, 9 calls above and these 18.
  const latencies = []; const action = []; const publish = [];
  for (let i = 0; i < 18; ++i) {
    const call = `PC${i}XYZ`;
    const started = process.hrtime.bigint();
    const arrived = all.map((f) => new Promise((resolve) => {
      const check = () => { if (f.received.includes(call)) { f.onData = null; resolve(); } };
      f.onData = check; check();
    }));
    program.child.stdin.write(`place ${call}\n`);
    const [, a, p] = (await program.nextLine()).split(' ');
    await Promise.all(arrived);
    latencies.push(Number(process.hrtime.bigint() - started) / 1e6);
    action.push(Number(a) / 1000); publish.push(Number(p) / 1000);
    for (const f of all) f.received = '';
  }
  for (const f of all) f.request.destroy();
  await program.end();
  fs.rmSync(folder, { recursive: true, force: true });

  const pct = (seconds) => (100 * seconds / idleSeconds).toFixed(3);
  console.log(`followers connected                         ${viewers} of ${followers}`);
  console.log(`CPU while nothing changes, nobody follows    ${pct(idleAlone)}% of a core (${idleAlone.toFixed(2)} s in ${idleSeconds} s)`);
  console.log(`CPU while nothing changes, ${followers} follow        ${pct(idleFollowed)}% of a core (${idleFollowed.toFixed(2)} s in ${idleSeconds} s)   target < 2%`);
  console.log(`a placed call reaches all ${followers}, median         ${median(latencies).toFixed(1)} ms`);
  console.log(`a placed call reaches all ${followers}, worst of 18    ${Math.max(...latencies).toFixed(1)} ms   target < 1000 ms`);
  console.log(`placing a call, nobody follows (median of 9) ${alone.action.toFixed(2)} ms, publishing it ${alone.publish.toFixed(2)} ms`);
  console.log(`placing a call, ${followers} follow (median of 18)  ${median(action).toFixed(2)} ms, publishing it ${median(publish).toFixed(2)} ms`);
}

main().catch((error) => { console.error(error); process.exit(1); });
