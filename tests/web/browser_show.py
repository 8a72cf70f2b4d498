#!/usr/bin/python3
# Plays the browser build of the show in headless Chromium (DevTools
# protocol) or headed Firefox (WebDriver BiDi, under xvfb-run) from a server
# of its own, and checks it; the checks are written once, over the calls
# both engines offer. Exit status 0 when every check holds.
#   browser_show.py ENGINE show SITE CAPTURE DATA_PARENT CUES [--stall]
#     the whole show: stills against vesk-capture's, what the sound node
#     played (a tap after it) through the cue analysis CUES, the end, no
#     box, no uncaught error; --stall holds the main thread 200 ms every 5 s
#   browser_show.py ENGINE missing-image SITE
#     no data/bubble.png: the page names it, one box, the show plays on
#   browser_show.py ENGINE no-webgl SITE: the page says so, offers no Play
import base64, functools, http.server, json, os, re, shutil, subprocess, sys, tempfile, threading, time, urllib.request
import websocket

STILL_TIMES = [2.5, 17.5, 30, 42.25, 60]
# Per channel, and the share of pixels off by more than 48. At 42.25 s the
# falling character crosses about 5 px per ms, and its edges differ by up to
# 1.3 % of the pixels (mean 1.1); still frames differ by less than 0.4 %.
# Effects of one layer drawn in another order gave 2.6 % and 2.3.
MEAN_LIMIT, FAR_LIMIT = 1.5, 0.02
HOOKS = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'page_hooks.js')
failures = []


def check(ok, what):
    print(('ok   ' if ok else 'FAIL ') + what, flush=True)
    if not ok:
        failures.append(what)


def serve(site, hidden, extra):
    class Handler(http.server.SimpleHTTPRequestHandler):
        def translate_path(self, path):
            if path.startswith('/stills/'):
                return os.path.join(extra, os.path.basename(path))
            return super().translate_path(path)

        def send_head(self):
            if self.path.lstrip('/') in hidden:
                self.send_error(404)
                return None
            return super().send_head()

        def log_message(self, *args):
            pass
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class Browser:
    # One page of one browser; an engine gives event, evaluate, navigate
    # and click.

    def __init__(self, command, address_pattern):
        # Ahead of other work on the machine: the show is timed by the wall
        # clock and plays a sample cue only on a frame within its 0.1 s.
        self.process = subprocess.Popen(['nice', '-n', '-10'] + command, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE, text=True)
        for line in self.process.stderr:
            found = re.search(address_pattern, line)
            if found:
                break
        else:
            raise RuntimeError('%s gave no address' % command[0])
        threading.Thread(target=lambda: [None for _ in self.process.stderr], daemon=True).start()
        self.address, self.next_id, self.alerts = found.group(1), 0, []

    def connect(self, url):
        # Firefox refuses a handshake that carries an Origin header.
        self.ws = websocket.create_connection(url, timeout=60, suppress_origin=True)

    def call(self, method, **params):
        self.next_id += 1
        self.send({'id': self.next_id, 'method': method, 'params': params})
        while True:
            message = json.loads(self.ws.recv())
            if message.get('id') == self.next_id:
                if 'error' in message:
                    raise RuntimeError('%s: %s' % (method, message))
                return message['result']
            if 'method' in message:
                self.event(message['method'], message['params'])

    def send(self, message):
        self.ws.send(json.dumps(message))

    def eval(self, expression):
        text = self.evaluate('Promise.resolve(%s).then(v => JSON.stringify(v))' % expression)
        return None if text is None else json.loads(text)

    def wait_for(self, expression, seconds):
        deadline = time.monotonic() + seconds
        while not self.eval(expression):
            if time.monotonic() > deadline:
                return False
            time.sleep(0.25)
        return True

    def open(self, url):
        self.navigate(url)
        return self.wait_for("document.getElementById('play') && !document.getElementById('play').disabled", 60)

    def press_play(self, targets):
        self.eval('veskTest.targets = %s' % json.dumps(targets))
        box = self.eval("(r => [r.x + r.width / 2, r.y + r.height / 2])(document.getElementById('play').getBoundingClientRect())")
        self.click(round(box[0]), round(box[1]))

    def close(self):
        self.ws.close()
        self.process.kill()
        self.process.wait()


class Chromium(Browser):
    def __init__(self, profile, webgl=True):
        super().__init__(['chromium', '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                          '--disable-background-networking', '--disable-component-update', '--disable-sync',
                          '--enable-unsafe-swiftshader', '--user-data-dir=' + profile, '--remote-debugging-port=0',
                          '--window-size=800,800', 'about:blank'] + ([] if webgl else ['--disable-3d-apis']),
                         r'(ws://127\.0\.0\.1:\d+)/')
        targets = json.load(urllib.request.urlopen(self.address.replace('ws:', 'http:') + '/json/list'))
        self.connect(next(t for t in targets if t['type'] == 'page')['webSocketDebuggerUrl'])
        self.call('Page.enable')
        with open(HOOKS) as hooks:
            self.call('Page.addScriptToEvaluateOnNewDocument', source=hooks.read())

    def event(self, method, params):
        if method == 'Page.javascriptDialogOpening':
            self.alerts.append(params['message'])
            self.send({'id': 0, 'method': 'Page.handleJavaScriptDialog', 'params': {'accept': True}})

    def evaluate(self, expression):
        result = self.call('Runtime.evaluate', expression=expression, returnByValue=True, awaitPromise=True)
        if 'exceptionDetails' in result:
            raise RuntimeError('%s: %s' % (expression, result['exceptionDetails']))
        return result['result'].get('value')

    def navigate(self, url):
        self.call('Page.navigate', url=url)

    def click(self, x, y):
        for kind in ('mousePressed', 'mouseReleased'):
            self.call('Input.dispatchMouseEvent', type=kind, x=x, y=y, button='left', clickCount=1)


class Firefox(Browser):
    # A fresh profile: WebGL on the software renderer Xvfb offers, and none
    # of the first run's pages and requests.
    PREFS = {'webgl.force-enabled': True, 'media.autoplay.default': 0, 'media.cubeb.force_mock_context': True, 'media.autoplay.blocking_policy': 0, 'browser.shell.checkDefaultBrowser': False,
             'datareporting.policy.dataSubmissionEnabled': False, 'browser.aboutwelcome.enabled': False}

    def __init__(self, profile, webgl=True):
        os.makedirs(profile)
        prefs = dict(self.PREFS, **({} if webgl else {'webgl.disabled': True}))
        with open(os.path.join(profile, 'user.js'), 'w') as out:
            out.write(''.join('user_pref(%s, %s);\n' % (json.dumps(k), json.dumps(v)) for k, v in prefs.items()))
        super().__init__(['firefox-esr', '--profile', profile, '--no-remote', '--remote-debugging-port', '0',
                          '--width', '800', '--height', '800', 'about:blank'], r'(ws://127\.0\.0\.1:\d+)')
        self.connect(self.address + '/session')
        self.call('session.new', capabilities={'alwaysMatch': {'unhandledPromptBehavior': {'default': 'ignore'}}})
        self.call('session.subscribe', events=['browsingContext.userPromptOpened'])
        self.context = self.call('browsingContext.getTree')['contexts'][0]['context']
        with open(HOOKS) as hooks:
            self.call('script.addPreloadScript', functionDeclaration='() => {\n%s\n}' % hooks.read())

    def event(self, method, params):
        if method == 'browsingContext.userPromptOpened':
            self.alerts.append(params['message'])
            # An id of its own, whose answer the call loop passes over.
            self.send({'id': 1000000 + len(self.alerts), 'method': 'browsingContext.handleUserPrompt',
                       'params': {'context': params['context'], 'accept': True}})

    def evaluate(self, expression):
        result = self.call('script.evaluate', expression=expression, target={'context': self.context},
                           awaitPromise=True, resultOwnership='none')
        if result['type'] != 'success':
            raise RuntimeError('%s: %s' % (expression, result.get('exceptionDetails')))
        return result['result'].get('value')

    def navigate(self, url):
        self.call('browsingContext.navigate', context=self.context, url=url, wait='complete')

    def click(self, x, y):
        self.call('input.performActions', context=self.context, actions=[{
            'type': 'pointer', 'id': 'mouse', 'parameters': {'pointerType': 'mouse'},
            'actions': [{'type': 'pointerMove', 'x': x, 'y': y}, {'type': 'pointerDown', 'button': 0},
                        {'type': 'pointerUp', 'button': 0}]}])


def whole_show(page, capture, data_parent, cues, work):
    ended = page.wait_for("document.getElementById('overlay').textContent === 'The show has ended.'", 150)
    frames, ended_at = page.eval('veskTest.frames'), page.eval('veskTest.endedAt') or 0
    end = frames[-1][1] + (ended_at - frames[-1][0]) / 1000.0 if frames else 0
    check(ended and 68.5 <= end < 69, 'the page reports the end at %.3f s of show time' % end)
    check(not page.alerts, 'no error box: %s' % page.alerts)
    first, stills = page.eval('veskTest.firstFrame'), page.eval('veskTest.stills.map(s => s.time)')
    shown = [f for f in frames if f[1] >= 1.0]
    fps = (len(shown) - 1) * 1000.0 / (shown[-1][0] - shown[0][0]) if len(shown) > 1 else 0
    print('figure: play to first frame %.0f ms, %.1f frames per second' % (first or -1, fps))
    times = ['%.3f' % (round(t * 1000) / 1000.0) for t in stills]
    check(len(times) == len(STILL_TIMES), 'frames recorded at %s s' % times)
    subprocess.run([capture, '--at', ','.join(times), '--stills', work], cwd=data_parent, check=True,
                   stdout=subprocess.DEVNULL)
    for i, t in enumerate(times):
        d = page.eval("veskTest.compare(%d, '/stills/at-%06d.png')" % (i, round(float(t) * 1000)))
        check(d['mean'] <= MEAN_LIMIT and d['far'] <= FAR_LIMIT,
              'frame at %s s: mean difference %.3f, %.3f%% of pixels off by > 48' % (t, d['mean'], 100 * d['far']))
    # The node drains what it holds after the end.
    time.sleep(1)
    size = page.eval('veskTest.audio.reduce((n, b) => n + b.length, 0) * 2')
    recording = os.path.join(work, 'heard.raw')
    with open(recording, 'wb') as out:
        for offset in range(0, size, 1 << 20):
            out.write(base64.b64decode(page.eval('veskTest.audioBytes(%d, %d)' % (offset, 1 << 20))))
    with open(os.path.join(work, 'frames.txt'), 'w') as out:
        out.write(''.join('%.3f\n' % f[1] for f in frames))
    result = subprocess.run([cues, '--frames', os.path.join(work, 'frames.txt'), '--cue-ms', '5', '--mute-peak', '399',
                             '--drift-ms', '2', '--dropouts', '0', recording],
                            cwd=data_parent, capture_output=True, text=True)
    print(result.stdout + result.stderr, end='')
    check(result.returncode == 0, 'what was heard (%.1f s): cues within 5 ms, drift within 2 ms, no dropout, '
          'music muted' % (size / 4 / 44100.0))


def main():
    engine, mode, site = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
    work = tempfile.mkdtemp(prefix='vesk-web-')
    hidden = {'data/bubble.png'} if mode == 'missing-image' else set()
    server = serve(site, hidden, work)
    page = {'chromium': Chromium, 'firefox': Firefox}[engine](os.path.join(work, 'profile'), mode != 'no-webgl')
    try:
        offered = page.open('http://127.0.0.1:%d/index.html' % server.server_address[1])
        words = page.eval("document.getElementById('overlay').textContent")
        if mode == 'no-webgl':
            check(not offered and 'no WebGL' in words, 'the page says: %s' % words)
        else:
            check(offered, 'the page offers Play')
            page.eval("veskTest.stall = %s" % json.dumps('--stall' in sys.argv))
            page.press_play(STILL_TIMES if mode == 'show' else [])
        if mode == 'show':
            whole_show(page, *[os.path.abspath(a) for a in sys.argv[4:7]], work)
        elif mode == 'missing-image':
            check('Could not fetch data/bubble.png.' in words, 'the page says: %s' % words)
            played = page.wait_for('veskTest.frames.length && veskTest.frames[veskTest.frames.length - 1][1] > 3', 60)
            check(page.alerts == ['unable to load texture: data/bubble.png'], 'one box: %s' % page.alerts)
            check(played, 'the show plays on past 3 s of show time')
        errors = page.eval('veskTest.errors')
        check(not errors, 'no uncaught error: %s' % errors)
    finally:
        page.close()
        server.shutdown()
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
