// What every browser journey shares: Debian's Chromium driven by playwright-core (the
// process exits 77, skipped, only when Chromium cannot run here), numbered steps, and
// pages that answer every alert box and remember its text.
export async function launchBrowser() {
  const { chromium } = await import('playwright-core').catch(() => {
    console.error('playwright-core is missing: run scripts/install-deps');
    process.exit(1);
  });
  try {
    return await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
  } catch (error) {
    console.log('SKIP: Chromium cannot run here: ' + error.message.split('\n')[0]);
    process.exit(77);
  }
}

export const steps = [];
export async function step(name, body) {
  await body();
  steps.push(name);
  console.log('ok - ' + name);
}

export async function alertingPage(context) {
  const page = await context.newPage();
  page.alerts = [];
  page.on('dialog', async (dialog) => { page.alerts.push(dialog.message()); await dialog.accept(); });
  return page;
}

// A click that loads the next page; the page's alerts come right after its load.
export async function clickAndLoad(page, selector) {
  await Promise.all([page.waitForNavigation(), page.click(selector)]);
  await page.waitForTimeout(50);
}

// Runs a journey's steps and tells its end: the count of steps passed, or the error with
// the service's standard error; the browser and the service go either way.
export async function runJourney(browser, service, body) {
  try {
    await body();
    console.log(`all ${steps.length} steps passed`);
  } catch (error) {
    console.error(error);
    console.error(service.stderr);
    process.exitCode = 1;
  } finally {
    await browser.close();
    await service.stop();
    service.remove();
  }
}
